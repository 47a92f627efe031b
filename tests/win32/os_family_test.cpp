// Wine reports each Windows family to a program by its per-program version; COpSysInfo must read it right.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/wintest.h"

namespace {

struct FamilyCase {
    const char* wineVersion;
    const char* flags;
    const char* platform;
};

class OsFamily : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(OsFamily, ProbeReportsTheFlagsOfTheFamily) {
    const FamilyCase& c = GetParam();
    zvtest::SetWineVersion("osprobe.exe", c.wineVersion);
    std::string out = zvtest::RunAndCapture("\"" + zvtest::TestDir() + "\\osprobe.exe\"");
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    EXPECT_NE(out.find(c.flags), std::string::npos) << c.wineVersion << " printed:\n" << out;
    EXPECT_NE(out.find(std::string("platform=") + c.platform + "\n"), std::string::npos)
        << c.wineVersion << " printed:\n" << out;
}

// A program that hangs is ended at the time-out, and what it printed so far is kept.
TEST(RunAndCapture, EndsAProgramThatHangsAtTheTimeOut) {
    const DWORD start = GetTickCount();
    const std::string out = zvtest::RunAndCapture("\"" + zvtest::TestDir() + "\\osprobe.exe\" --hang", 3000);
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_NE(out.find("platform="), std::string::npos) << out;
    EXPECT_NE(out.find("[ended after 3000 ms"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(
    WineVersions, OsFamily,
    ::testing::Values(
        FamilyCase{"win95", "IsWinXP=0 IsWin2K=0 IsWinNT=0 IsWin9x=1 IsWin95=1 IsWin98=0 IsWinME=0", "Windows 95"},
        FamilyCase{"win98", "IsWinXP=0 IsWin2K=0 IsWinNT=0 IsWin9x=1 IsWin95=1 IsWin98=1 IsWinME=0", "Windows 98"},
        FamilyCase{"winme", "IsWinXP=0 IsWin2K=0 IsWinNT=0 IsWin9x=1 IsWin95=1 IsWin98=1 IsWinME=1", "Windows Me"},
        FamilyCase{"nt40", "IsWinXP=0 IsWin2K=0 IsWinNT=1 IsWin9x=0 IsWin95=0 IsWin98=0 IsWinME=0", "Windows NT"},
        FamilyCase{"win2k", "IsWinXP=0 IsWin2K=1 IsWinNT=1 IsWin9x=0 IsWin95=0 IsWin98=0 IsWinME=0", "Windows 2000"},
        FamilyCase{"winxp", "IsWinXP=1 IsWin2K=1 IsWinNT=1 IsWin9x=0 IsWin95=0 IsWin98=0 IsWinME=0", "Windows XP"}),
    [](const ::testing::TestParamInfo<FamilyCase>& info) { return std::string(info.param.wineVersion); });

}  // namespace
