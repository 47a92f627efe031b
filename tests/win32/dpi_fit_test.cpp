// Every window of both programs at 96, 120 ("Large Fonts") and 144 DPI: each caption and text fits its
// control. The windows and the measuring are dpiprobe's; Wine gives each new process the DPI of LogPixels.
#include <gtest/gtest.h>

#include <sstream>

#include "support/registry_sandbox.h"
#include "support/wintest.h"

TEST(EveryWindowAtEveryDpi, EachTextFitsItsControl) {
    const char* key = "Control Panel\\Desktop";
    const zvtest::RegData before = zvtest::ReadValue(HKEY_CURRENT_USER, key, "LogPixels");
    for (DWORD dpi : {96, 120, 144}) {
        zvtest::WriteDword(HKEY_CURRENT_USER, key, "LogPixels", dpi);
        std::istringstream out(zvtest::RunAndCapture("\"" + zvtest::TestDir() + "\\dpiprobe.exe\""));
        bool finished = false;
        for (std::string line; std::getline(out, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            finished |= line.rfind("windows checked:", 0) == 0;
            if (line.rfind("does not fit: ", 0) == 0) ADD_FAILURE() << "window|DPI|text|overflow: " << line.substr(14);
        }
        EXPECT_TRUE(finished) << "dpiprobe did not end at " << dpi << " DPI";
    }
    if (!before.exists) zvtest::DeleteValue(HKEY_CURRENT_USER, key, "LogPixels");
    else zvtest::WriteDword(HKEY_CURRENT_USER, key, "LogPixels", *reinterpret_cast<const DWORD*>(before.data.data()));
}
