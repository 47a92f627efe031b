// COpSysInfo from canned version records.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/opsysinfo.h"

namespace zv {
namespace {

struct Canned {
    std::uint32_t platform, major, minor, build;
    std::string csd = "";
    bool extendedRefused = false;
    std::uint16_t suite = 0;
    std::uint8_t productType = 0;
};

// Answers like GetVersionExA: refuses the extended size when asked to, fills by the size given.
VersionQuery Query(const Canned& c, std::vector<std::uint32_t>* sizesSeen = nullptr) {
    return [c, sizesSeen](OsVersionRecord& rec) {
        if (sizesSeen) sizesSeen->push_back(rec.dwOSVersionInfoSize);
        if (rec.dwOSVersionInfoSize == kVersionRecordExtended && c.extendedRefused) return false;
        rec.dwMajorVersion = c.major;
        rec.dwMinorVersion = c.minor;
        rec.dwBuildNumber = c.build;
        rec.dwPlatformId = c.platform;
        std::memcpy(rec.szCSDVersion, c.csd.data(), std::min<std::size_t>(c.csd.size(), 128));
        if (rec.dwOSVersionInfoSize == kVersionRecordExtended) {
            rec.wSuiteMask = c.suite;
            rec.wProductType = c.productType;
            rec.wServicePackMajor = 6;
        }
        return true;
    };
}

struct FlagCase {
    const char* what;
    Canned in;
    bool xp, w2k, nt, w9x, w95, w98, me;
    const char* platform;
};

class Flags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(Flags, NestAsTheFamiliesDo) {
    const FlagCase& c = GetParam();
    COpSysInfo os(Query(c.in));
    EXPECT_EQ(os.IsWinXP(), c.xp) << c.what;
    EXPECT_EQ(os.IsWin2K(), c.w2k) << c.what;
    EXPECT_EQ(os.IsWinNT(), c.nt) << c.what;
    EXPECT_EQ(os.IsWin9x(), c.w9x) << c.what;
    EXPECT_EQ(os.IsWin95(), c.w95) << c.what;
    EXPECT_EQ(os.IsWin98(), c.w98) << c.what;
    EXPECT_EQ(os.IsWinME(), c.me) << c.what;
    EXPECT_EQ(os.platform(), c.platform) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Records, Flags,
    ::testing::Values(
        FlagCase{"98", {1, 4, 10, (4u << 24) | (10u << 16) | 2222}, 0, 0, 0, 1, 1, 1, 0, "Windows 98"},
        FlagCase{"Me", {1, 4, 90, (4u << 24) | (90u << 16) | 3000}, 0, 0, 0, 1, 1, 1, 1, "Windows Me"},
        FlagCase{"Me 2999", {1, 4, 90, (4u << 24) | (90u << 16) | 2999}, 0, 0, 0, 1, 1, 1, 0, "Windows 98"},
        FlagCase{"95", {1, 4, 0, (4u << 24) | 950}, 0, 0, 0, 1, 1, 0, 0, "Windows 95"},
        FlagCase{"9x build above 32767", {1, 4, 90, 40000}, 0, 0, 0, 1, 1, 1, 0, "Windows 98"},
        FlagCase{"NT 4", {2, 4, 0, 1381}, 0, 0, 1, 0, 0, 0, 0, "Windows NT"},
        FlagCase{"2000", {2, 5, 0, 2195}, 0, 1, 1, 0, 0, 0, 0, "Windows 2000"},
        FlagCase{"XP", {2, 5, 1, 2600}, 1, 1, 1, 0, 0, 0, 0, "Windows XP"},
        FlagCase{"Win32s", {0, 1, 30, 0}, 0, 0, 0, 0, 0, 0, 0, ""}),
    [](const ::testing::TestParamInfo<FlagCase>& info) {
        std::string n = info.param.what;
        for (auto& ch : n) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(COpSysInfo, FamilyDispatchTakesTheMostSpecificFlag) {
    EXPECT_EQ(FamilyOf(COpSysInfo(Query({1, 4, 90, 3000}))), WindowsFamily::WinMe);
    EXPECT_EQ(FamilyOf(COpSysInfo(Query({1, 4, 10, 2222}))), WindowsFamily::Win98);
    EXPECT_EQ(FamilyOf(COpSysInfo(Query({1, 4, 0, 950}))), WindowsFamily::Win95);
    EXPECT_EQ(FamilyOf(COpSysInfo(Query({2, 5, 1, 2600}))), WindowsFamily::WinXP);
    EXPECT_EQ(FamilyOf(COpSysInfo(Query({2, 5, 0, 2195}))), WindowsFamily::Win2K);
    EXPECT_EQ(FamilyOf(COpSysInfo(Query({2, 4, 0, 1381}))), WindowsFamily::WinNT);
    EXPECT_EQ(FamilyOf(COpSysInfo(Query({3, 5, 1, 0}))), WindowsFamily::Unknown);
}

TEST(COpSysInfo, BuildNumberIsTheSignedLowWord) {
    EXPECT_EQ(COpSysInfo(Query({1, 4, 10, (4u << 24) | (10u << 16) | 2222})).BuildNumber(), 2222);
    EXPECT_EQ(COpSysInfo(Query({1, 4, 90, 40000})).BuildNumber(), 40000 - 65536);
    EXPECT_EQ(COpSysInfo(Query({1, 4, 90, 0xFFFF})).BuildNumber(), -1);
}

TEST(COpSysInfo, FallsBackToTheBasicRecordWhenTheExtendedOneIsRefused) {
    std::vector<std::uint32_t> sizes;
    Canned nt4{2, 4, 0, 1381, "Service Pack 5", true, 0x0010, 3};
    COpSysInfo os(Query(nt4, &sizes));
    EXPECT_EQ(sizes, (std::vector<std::uint32_t>{156, 148}));
    EXPECT_EQ(os.Record().dwOSVersionInfoSize, 148u);
    EXPECT_TRUE(os.IsWinNT());
    EXPECT_EQ(os.CSDVersion(), "Service Pack 5");
    EXPECT_EQ(os.SuiteMask(), 0) << "extended fields stay 0";
    EXPECT_EQ(os.ServicePackMajor(), 0);
    EXPECT_EQ(os.ProductTypeName(), "Unknown");
    EXPECT_FALSE(os.HasTS());
}

TEST(COpSysInfo, BothQueriesRefusedLeaveEverythingEmpty) {
    COpSysInfo os([](OsVersionRecord&) { return false; });
    EXPECT_FALSE(os.IsWin9x());
    EXPECT_FALSE(os.IsWinNT());
    EXPECT_EQ(os.platform(), "");
    EXPECT_EQ(os.Version(), " v0.0, Build 0");
}

TEST(COpSysInfo, ServicePackTextIsCutAtItsNulAndTrimmed) {
    EXPECT_EQ(COpSysInfo(Query({2, 5, 1, 2600, " Service Pack 2 "})).CSDVersion(), "Service Pack 2");
    EXPECT_EQ(COpSysInfo(Query({2, 5, 1, 2600, std::string("\0junk", 5)})).CSDVersion(), "");
    EXPECT_EQ(COpSysInfo(Query({2, 5, 1, 2600, std::string("SP1\0junk", 8)})).CSDVersion(), "SP1");
    std::string full(128, 'x');
    full[0] = ' ';
    EXPECT_EQ(COpSysInfo(Query({2, 5, 1, 2600, full})).CSDVersion(), std::string(127, 'x'))
        << "a text filling all 128 characters without a NUL is kept whole";
}

TEST(COpSysInfo, DisplayTexts) {
    COpSysInfo xp(Query({2, 5, 1, 2600, "", false, 0x0001 | 0x0080, 2}));
    EXPECT_EQ(xp.Version(), "Windows XP v5.1, Build 2600");
    EXPECT_EQ(xp.ProductTypeName(), "Domain Controller");
    EXPECT_TRUE(xp.HasSBS());
    EXPECT_TRUE(xp.HasDC());
    EXPECT_FALSE(xp.HasAS());
    EXPECT_EQ(xp.ServicePackMajor(), 6);
    EXPECT_EQ(COpSysInfo(Query({2, 5, 1, 2600, "", false, 0, 3})).ProductTypeName(), "NT Server");
    EXPECT_EQ(COpSysInfo(Query({2, 5, 1, 2600, "", false, 0, 1})).ProductTypeName(), "NT Workstation");
    EXPECT_EQ(COpSysInfo(Query({2, 5, 1, 2600, "", false, 0, 9})).ProductTypeName(), "");
    EXPECT_EQ(COpSysInfo(Query({1, 4, 90, (4u << 24) | (90u << 16) | 3000})).Version(), "Windows Me v4.90, Build 3000");
}

}  // namespace
}  // namespace zv
