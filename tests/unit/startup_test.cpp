// The main window's stored state, where it opens, and the first-run prompt.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "platform/memory_registry.h"
#include "platform/registry_helpers.h"

namespace zv {
namespace {

ScreenMetrics Screen1024() {
    ScreenMetrics s;
    s.width = 1024;
    s.height = 768;
    s.virtualScreen = {0, 0, 1024, 768};
    return s;
}

MainSettings Stored(const std::string& loaded, int leftPx, int topPx) {
    return MainSettings{loaded, leftPx * 15, topPx * 15};
}

TEST(FirstRunPrompt, HasItsLineBreaksAndWording) {
    EXPECT_STREQ(kFirstRunPrompt,
                 "This is the first time you are running Zarvelo. It is recommended\r\n"
                 "to to take a backup of your current settings. Do you want to take a \r\n"
                 "backup now?");
}

TEST(MainSettings, FirstRunWhenTheKeyIsAbsent) {
    MemoryRegistry reg;
    const MainSettings s = ReadMainSettings(reg);
    EXPECT_TRUE(IsFirstRun(s));
    EXPECT_FALSE(PositionStored(s));
}

TEST(MainSettings, OnlyYesExactlyCountsAsAStoredPosition) {
    const struct {
        const char* loaded;
        bool firstRun;
        bool stored;
    } cases[] = {{"Yes", false, true}, {"yes", false, false}, {"YES", false, false}, {"No", false, false},
                 {" Yes", false, false}, {"", true, false}};
    for (const auto& c : cases) {
        MemoryRegistry reg;
        WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, "LoadedMain", c.loaded);
        WriteRegDword(reg, kHkeyLocalMachine, kZarveloKey, "LeftMain", 1500);
        WriteRegDword(reg, kHkeyLocalMachine, kZarveloKey, "TopMain", 3000);
        const MainSettings s = ReadMainSettings(reg);
        EXPECT_EQ(IsFirstRun(s), c.firstRun) << "'" << c.loaded << "'";
        EXPECT_EQ(PositionStored(s), c.stored) << "'" << c.loaded << "'";
        EXPECT_EQ(s.leftMain, c.stored ? 1500 : 0) << "'" << c.loaded << "'";
    }
}

TEST(MainSettings, ShutDownWritesYesAndThePositionAsNumbers) {
    MemoryRegistry reg;
    WriteMainSettings(reg, 3015, -450);
    const auto loaded = reg.Get(kHkeyLocalMachine, kZarveloKey, "LoadedMain");
    const auto left = reg.Get(kHkeyLocalMachine, kZarveloKey, "LeftMain");
    const auto top = reg.Get(kHkeyLocalMachine, kZarveloKey, "TopMain");
    ASSERT_TRUE(loaded && left && top);
    EXPECT_EQ(loaded->type, kRegSz);
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, "LoadedMain"), "Yes");
    EXPECT_EQ(left->type, kRegDword);
    EXPECT_EQ(top->type, kRegDword);
    const MainSettings s = ReadMainSettings(reg);
    EXPECT_EQ(s.leftMain, 3015);
    EXPECT_EQ(s.topMain, -450);
}

TEST(Twips, FollowTheLogicalDpi) {
    const struct {
        int pixels, dpi, twips;
    } cases[] = {{100, 96, 1500}, {100, 120, 1200}, {100, 144, 1000}, {100, 168, 857}, {7, 168, 60},
                 {-10, 96, -150}, {1, 110, 13},    {0, 96, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(TwipsFromPixels(c.pixels, c.dpi), c.twips) << c.pixels << " px at " << c.dpi;
        EXPECT_EQ(PixelsFromTwips(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
    EXPECT_EQ(PixelsFromTwips(1500, 96), 100);
    EXPECT_EQ(PixelsFromTwips(1507, 96), 100) << "rounded";
    EXPECT_EQ(PixelsFromTwips(1508, 96), 101) << "rounded";
    EXPECT_EQ(PixelsFromTwips(-150, 96), -10);
}

TEST(StartUpPosition, CentredOnFirstRunAndForAnyTextButYes) {
    for (const char* loaded : {"", "yes", "Loaded"}) {
        EXPECT_EQ(StartUpPosition(Stored(loaded, 50, 60), 580, 400, Screen1024()), (PixelPoint{222, 184})) << loaded;
    }
}

TEST(StartUpPosition, TheStoredPlaceWhenTheWindowWouldBeSeen) {
    const struct {
        const char* what;
        int left, top;
    } cases[] = {{"inside", 50, 60},
                 {"top-left corner (missing values read as 0)", 0, 0},
                 {"mostly off to the right", 1000, 100},
                 {"mostly above", 100, -390},
                 {"mostly to the left", -570, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(StartUpPosition(Stored("Yes", c.left, c.top), 580, 400, Screen1024()), (PixelPoint{c.left, c.top}))
            << c.what;
    }
}

TEST(StartUpPosition, CentredWhenTheStoredPlaceIsOffEveryMonitor) {
    const struct {
        const char* what;
        int left, top;
    } cases[] = {{"right of the screen", 1024, 100}, {"below", 100, 768}, {"left", -580, 100},
                 {"above", 100, -400},               {"far away", 40000, 40000}};
    for (const auto& c : cases) {
        EXPECT_EQ(StartUpPosition(Stored("Yes", c.left, c.top), 580, 400, Screen1024()), (PixelPoint{222, 184}))
            << c.what;
    }
}

TEST(StartUpPosition, ASecondMonitorLeftOfThePrimaryCounts) {
    ScreenMetrics s = Screen1024();
    s.virtualScreen = {-1280, 0, 1024, 1024};
    EXPECT_EQ(StartUpPosition(Stored("Yes", -1000, 500), 580, 400, s), (PixelPoint{-1000, 500}));
    EXPECT_EQ(StartUpPosition(Stored("Yes", -2000, 500), 580, 400, s), (PixelPoint{222, 184}));
}

TEST(StartUpPosition, StoredTwipsAreReadAtTheScreensDpi) {
    ScreenMetrics s = Screen1024();
    s.dpiX = 120;
    s.dpiY = 120;
    EXPECT_EQ(StartUpPosition(MainSettings{"Yes", 1200, 2400}, 580, 400, s), (PixelPoint{100, 200}));
}

TEST(ScreenFromWorkspace, AddsTheWorkAreasOffsetWhereverTheTaskbarIs) {
    const PixelRect normal{40, 30, 620, 430};  // a restored window's place in its placement
    const struct {
        const char* taskbar;
        PixelRect workArea;
        PixelRect screen;
    } cases[] = {{"bottom", {0, 0, 1024, 740}, {40, 30, 620, 430}},
                 {"top", {0, 28, 1024, 768}, {40, 58, 620, 458}},
                 {"left", {60, 0, 1024, 768}, {100, 30, 680, 430}},
                 {"right", {0, 0, 964, 768}, {40, 30, 620, 430}}};
    for (const auto& c : cases) EXPECT_EQ(ScreenFromWorkspace(normal, c.workArea), c.screen) << c.taskbar;
}

TEST(MoveInside, AWindowPartlyOutsideTheWorkAreaMovesJustInside) {
    const PixelRect area{0, 28, 1024, 768};  // taskbar at the top
    const struct {
        const char* what;
        PixelRect window;
        PixelPoint at;
    } cases[] = {{"inside stays", {100, 100, 700, 500}, {100, 100}},
                 {"off the right edge (stored at 96 DPI, opened at 120)", {500, 100, 1225, 600}, {299, 100}},
                 {"off the bottom", {100, 500, 700, 900}, {100, 368}},
                 {"above the area, under the taskbar", {100, 10, 700, 410}, {100, 28}},
                 {"left of the screen", {-50, 100, 550, 500}, {0, 100}},
                 {"larger than the area keeps its corner", {-20, 0, 1100, 800}, {0, 28}}};
    for (const auto& c : cases) EXPECT_EQ(MoveInside(c.window, area), c.at) << c.what;
    EXPECT_EQ(MoveInside({-900, 100, -300, 500}, {-1280, 0, 0, 1024}), (PixelPoint{-900, 100})) << "second monitor";
}

}  // namespace
}  // namespace zv
