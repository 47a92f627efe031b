// Every window of both programs at 96, 120 ("Large Fonts") and 144 DPI, in the dialog font of each Windows
// family: each caption and text fits its control. The windows and the measuring are dpiprobe's; Wine gives
// each new process the DPI of LogPixels and the fonts of FontSubstitutes.
#include <gtest/gtest.h>

#include <sstream>

#include "support/registry_sandbox.h"
#include "support/wintest.h"

TEST(EveryWindowAtEveryDpi, EachTextFitsItsControl) {
    const char* desktop = "Control Panel\\Desktop";
    const char* substitutes = "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
    const zvtest::RegData before = zvtest::ReadValue(HKEY_CURRENT_USER, desktop, "LogPixels");
    // "MS Shell Dlg" is MS Sans Serif on 95, 98, Me and NT 4, Tahoma on 2000 and XP.
    for (const char* font : {"MS Sans Serif", "Tahoma"}) {
        for (const char* shell : {"MS Shell Dlg", "MS Shell Dlg 2"}) {
            zvtest::WriteSz(HKEY_LOCAL_MACHINE, substitutes, shell, font);
        }
        for (DWORD dpi : {96, 120, 144}) {
            zvtest::WriteDword(HKEY_CURRENT_USER, desktop, "LogPixels", dpi);
            const bool shots = dpi == 120 && std::string(font) == "Tahoma";
            const std::string probe = "\"" + zvtest::TestDir() + "\\dpiprobe.exe\"";
            std::istringstream out(zvtest::RunAndCapture(probe + (shots ? " --shots" : "")));
            bool finished = false;
            for (std::string line; std::getline(out, line);) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                finished |= line.rfind("windows checked:", 0) == 0;
                if (line.rfind("does not fit: ", 0) != 0) continue;
                ADD_FAILURE() << font << ", window|DPI|text|overflow: " << line.substr(14);
            }
            EXPECT_TRUE(finished) << "dpiprobe did not end at " << dpi << " DPI in " << font;
        }
    }
    if (!before.exists) zvtest::DeleteValue(HKEY_CURRENT_USER, desktop, "LogPixels");
    else zvtest::WriteDword(HKEY_CURRENT_USER, desktop, "LogPixels", *reinterpret_cast<const DWORD*>(&before.data[0]));
}
