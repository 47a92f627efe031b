// The built help file opens in HTML Help at a topic and on its index tab.
#include <gtest/gtest.h>

#include "support/wintest.h"

namespace {

// hhctrl.ocx is loaded at run time, as the programs do.
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kDisplayIndex = 0x0002;  // HH_DISPLAY_INDEX
constexpr UINT kCloseAll = 0x0012;      // HH_CLOSE_ALL

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

class HelpFile : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("hhctrl.ocx");
        ASSERT_NE(library_, nullptr) << "hhctrl.ocx";
        htmlHelp_ = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(library_, "HtmlHelpA")));
        ASSERT_NE(htmlHelp_, nullptr);
        path_ = zvtest::ProgramDir() + "\\zarvelo.chm";
        ASSERT_NE(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES) << path_;
    }
    void TearDown() override {
        if (htmlHelp_) htmlHelp_(nullptr, nullptr, kCloseAll, 0);
        Pump(300);
        if (library_) FreeLibrary(library_);
    }

    HWND WaitForHelpWindow() {
        HWND hwnd = nullptr;
        zvtest::WaitFor(
            [&] {
                Pump(50);
                return (hwnd = zvtest::FindTopWindow("Zarvelo Help", GetCurrentProcessId())) != nullptr;
            },
            30000);
        return hwnd;
    }

    HMODULE library_ = nullptr;
    HtmlHelpFn htmlHelp_ = nullptr;
    std::string path_;
};

TEST_F(HelpFile, OpensAtEveryTopic) {
    for (const char* topic : {"automatic.htm", "custom.htm", "launcher.htm", "backup.htm", "restore.htm", "ping.htm"}) {
        htmlHelp_(nullptr, path_.c_str(), kDisplayTopic, reinterpret_cast<DWORD_PTR>(topic));
        HWND hwnd = WaitForHelpWindow();
        ASSERT_NE(hwnd, nullptr) << "no help window for " << topic;
        if (std::string(topic) == "automatic.htm") {
            Pump(500);
            zvtest::SaveScreenshot(hwnd, "help-window");
        }
        htmlHelp_(nullptr, nullptr, kCloseAll, 0);
        EXPECT_TRUE(zvtest::WaitFor(
            [&] {
                Pump(50);
                return !IsWindow(hwnd);
            },
            10000))
            << "the help window for " << topic << " stayed open";
    }
}

TEST_F(HelpFile, OpensOnTheIndexTab) {
    DWORD none = 0;
    htmlHelp_(nullptr, path_.c_str(), kDisplayIndex, reinterpret_cast<DWORD_PTR>(&none));
    HWND hwnd = WaitForHelpWindow();
    ASSERT_NE(hwnd, nullptr) << "no help window for the index";
    Pump(500);
    zvtest::SaveScreenshot(hwnd, "help-index");
}

}  // namespace
