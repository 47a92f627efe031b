// The keep-alive program's start-up and shut-down over the in-memory registry: stored options, position,
// the autostart entry, the off-screen rule and the order of the steps.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "keepalive/settings.h"
#include "platform/memory_registry.h"
#include "platform/registry_helpers.h"

namespace zv {
namespace {

// Logs every value written or deleted, in the same list as the window's steps.
class LoggingRegistry : public MemoryRegistry {
public:
    explicit LoggingRegistry(std::vector<std::string>& log) : log_(log) {}
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        log_.push_back("set " + name);
        return MemoryRegistry::SetValue(key, name, type, data, size);
    }
    long DeleteValue(RegKey key, const std::string& name) override {
        log_.push_back("delete " + name);
        return MemoryRegistry::DeleteValue(key, name);
    }

private:
    std::vector<std::string>& log_;
};

class FakeWindow : public LifecycleWindow {
public:
    std::vector<std::string>& log;
    PixelRect rect{300, 200, 700, 500};  // 400 x 300 where a new window opens
    std::optional<PixelRect> normal;     // while minimized
    PixelRect screen{0, 0, 1024, 768};
    int dpi = 96;
    bool check2 = false;
    bool check3 = false;
    bool minimized = false;
    int outageLosses = kDefaultOutageLosses;
    std::string path = "C:\\Program Files\\Quonibar\\pulsiva.exe";

    explicit FakeWindow(std::vector<std::string>& l) : log(l) {}

    void HookWindow() override { log.push_back("hook"); }
    PixelRect WindowRect() override { return rect; }
    PixelRect NormalRect() override { return normal.value_or(rect); }
    PixelRect VirtualScreen() override { return screen; }
    int DpiX() override { return dpi; }
    int DpiY() override { return dpi; }
    void MoveWindow(int x, int y) override {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
        rect = {x, y, x + rect.Width(), y + rect.Height()};
    }
    bool Check2() override { return check2; }
    void SetCheck2(bool on) override {
        log.push_back(std::string("check2 ") + (on ? "1" : "0"));
        check2 = on;
    }
    bool Check3() override { return check3; }
    void SetCheck3(bool on) override {
        log.push_back(std::string("check3 ") + (on ? "1" : "0"));
        check3 = on;
    }
    void Minimize() override {
        log.push_back("minimize");
        minimized = true;
    }
    void AddTrayIcon() override { log.push_back("add icon"); }
    void CloseMenuForm() override { log.push_back("close menu form"); }
    void RemoveTrayIcon() override { log.push_back("remove icon"); }
    void UnhookWindow() override { log.push_back("unhook"); }
    std::string ProgramPath() override { return path; }
    void SetOutageLosses(int losses) override { outageLosses = losses; }
    int OutageLosses() override { return outageLosses; }
};

struct Rig {
    std::vector<std::string> log;
    LoggingRegistry reg{log};
    FakeWindow window{log};

    void Seed(const std::string& name, const std::string& value) {
        WriteRegString(reg, kHkeyLocalMachine, kPulsivaKey, name, value);
    }
    void SeedDword(const std::string& name, std::int32_t value) {
        WriteRegDword(reg, kHkeyLocalMachine, kPulsivaKey, name, value);
    }
    void SeedRun(const std::string& path) { WriteRegString(reg, kHkeyLocalMachine, kRunKey, kRunValue, path); }
    void StartUp() {
        log.clear();
        zv::StartUp(reg, window);
    }
    void ShutDown() {
        log.clear();
        zv::ShutDown(reg, window);
    }
    std::optional<RegValue> Value(const std::string& name) { return reg.Get(kHkeyLocalMachine, kPulsivaKey, name); }
    std::optional<RegValue> Run() { return reg.Get(kHkeyLocalMachine, kRunKey, kRunValue); }
};

RegValue Sz(const std::string& text) {
    RegValue v{kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
    v.data.push_back(0);
    return v;
}
RegValue Dword(std::uint32_t n) {
    return {kRegDword, {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                        static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

TEST(PulsivaStartUp, FirstRunHooksAndAddsTheIconOnly) {
    Rig rig;
    rig.StartUp();
    EXPECT_EQ(rig.log, (std::vector<std::string>{"hook", "add icon"}));
    EXPECT_FALSE(rig.window.check2);
    EXPECT_FALSE(rig.window.check3);
    EXPECT_FALSE(rig.reg.HasKey(kHkeyLocalMachine, kPulsivaKey)) << "start-up writes nothing";
}

TEST(PulsivaStartUp, StoredOptionsApplyOnlyWhenLoadedIsExactlyYes) {
    struct Case {
        const char* loaded;  // nullptr: absent
        bool applied;
    } cases[] = {{nullptr, false}, {"Yes", true}, {"yes", false}, {"YES", false}, {"Yes ", false}, {"", false}, {"1", false}};
    for (const Case& c : cases) {
        Rig rig;
        if (c.loaded) rig.Seed("Loaded", c.loaded);
        rig.SeedDword("Left", 1500);
        rig.SeedDword("Top", 750);
        rig.Seed("WinStart", "1");
        rig.Seed("Minimized", "1");
        rig.StartUp();
        std::vector<std::string> expected = {"hook", "add icon"};
        if (c.applied) expected = {"hook", "move 100,50", "check2 1", "check3 1", "minimize", "add icon"};
        EXPECT_EQ(rig.log, expected) << "Loaded " << (c.loaded ? std::string("\"") + c.loaded + "\"" : "absent");
    }
}

TEST(PulsivaStartUp, OnlyTheDigitOneChecksTheBoxes) {
    struct Case {
        const char* winStart;
        const char* minimized;
        bool check2;
        bool check3;
    } cases[] = {
        {"1", "0", true, false}, {"0", "1", false, true}, {"", "", false, false},
        {"01", "1 ", false, false}, {"2", "-1", false, false}, {"1", "1", true, true},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Seed("Loaded", "Yes");
        rig.Seed("WinStart", c.winStart);
        rig.Seed("Minimized", c.minimized);
        rig.StartUp();
        EXPECT_EQ(rig.window.check2, c.check2) << "WinStart \"" << c.winStart << "\"";
        EXPECT_EQ(rig.window.check3, c.check3) << "Minimized \"" << c.minimized << "\"";
        EXPECT_EQ(rig.window.minimized, c.check3) << "Minimized \"" << c.minimized << "\"";
    }
}

TEST(PulsivaStartUp, MissingPositionLeavesTheWindowWhereItIs) {
    Rig rig;
    rig.Seed("Loaded", "Yes");
    rig.SeedDword("Top", 1500);
    rig.StartUp();
    EXPECT_EQ(rig.log, (std::vector<std::string>{"hook", "move 300,100", "add icon"})) << "Left falls back to the current edge";

    Rig text;
    text.Seed("Loaded", "Yes");
    text.Seed("Left", "1500");  // text, not a number: as good as missing
    text.Seed("Top", "1500");
    text.StartUp();
    EXPECT_EQ(text.log, (std::vector<std::string>{"hook", "move 300,200", "add icon"}));
}

TEST(PulsivaStartUp, PositionOffEveryMonitorOpensWhereANewWindowOpens) {
    struct Case {
        std::int32_t left, top;  // twips, at 96 dpi 15 to the pixel
        bool moved;
        const char* what;
    } cases[] = {
        {-32000 * 15, -32000 * 15, false, "where a minimized window sits"},
        {1024 * 15, 0, false, "just past the right edge"},
        {0, 768 * 15, false, "just past the bottom"},
        {-400 * 15, 100 * 15, false, "ends exactly at the left edge"},
        {-399 * 15, 100 * 15, true, "one column still on screen"},
        {1023 * 15, 767 * 15, true, "one pixel in the bottom-right corner"},
        {200 * 15, 100 * 15, true, "well inside"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Seed("Loaded", "Yes");
        rig.SeedDword("Left", c.left);
        rig.SeedDword("Top", c.top);
        rig.StartUp();
        bool moved = rig.log.size() == 3 && rig.log[1].rfind("move ", 0) == 0;
        EXPECT_EQ(moved, c.moved) << c.what << ": " << c.left << "," << c.top;
        if (!c.moved) {
            EXPECT_EQ(rig.window.rect, (PixelRect{300, 200, 700, 500})) << c.what;
        }
    }
}

TEST(PulsivaShutDown, WritesTheSevenValuesThenTheAutostartThenLetsGo) {
    Rig rig;
    rig.window.rect = {120, 80, 520, 380};
    rig.window.check2 = true;
    rig.ShutDown();
    EXPECT_EQ(rig.log, (std::vector<std::string>{"set Loaded", "set Left", "set Top", "set WinStart", "set Minimized",
                                                 "set OutageLosses", "set AlertOnOutage", "set Pulsiva", "close menu form",
                                                 "remove icon", "unhook"}));
    EXPECT_EQ(rig.Value("Loaded"), Sz("Yes"));
    EXPECT_EQ(rig.Value("Left"), Dword(1800));
    EXPECT_EQ(rig.Value("Top"), Dword(1200));
    EXPECT_EQ(rig.Value("WinStart"), Sz("1"));
    EXPECT_EQ(rig.Value("Minimized"), Sz("0"));
    EXPECT_EQ(rig.Value("OutageLosses"), Dword(3));
    EXPECT_EQ(rig.Value("AlertOnOutage"), Sz("1")) << "on unless the menu turned it off";
    EXPECT_EQ(rig.Run(), Sz("\"C:\\Program Files\\Quonibar\\pulsiva.exe\"")) << "the running program's own path, quoted";

    rig.window.check2 = false;
    rig.window.check3 = true;
    rig.ShutDown();
    EXPECT_EQ(rig.log[7], "delete Pulsiva");
    EXPECT_EQ(rig.Value("WinStart"), Sz("0"));
    EXPECT_EQ(rig.Value("Minimized"), Sz("1"));
    EXPECT_FALSE(rig.Run()) << "unchecked: the autostart entry goes";
    EXPECT_EQ(rig.reg.OpenHandleCount(), 0u);
}

TEST(PulsivaShutDown, WinStartWithoutLoadedIsForgottenAndTheAutostartEntryGoes) {
    Rig rig;
    rig.Seed("WinStart", "1");
    rig.SeedRun("C:\\Old\\pulsiva.exe");
    rig.StartUp();
    EXPECT_FALSE(rig.window.check2) << "Loaded absent: WinStart is not applied";
    rig.ShutDown();
    EXPECT_EQ(rig.Value("WinStart"), Sz("0"));
    EXPECT_EQ(rig.Value("Loaded"), Sz("Yes"));
    EXPECT_FALSE(rig.Run());
}

TEST(PulsivaShutDown, EndingMinimizedStoresTheNormalPosition) {
    Rig rig;
    rig.window.rect = {-32000, -32000, -31840, -31970};  // a minimized window's own rectangle
    rig.window.normal = PixelRect{40, 60, 440, 360};
    rig.ShutDown();
    EXPECT_EQ(rig.Value("Left"), Dword(600));
    EXPECT_EQ(rig.Value("Top"), Dword(900));

    // The next start puts the window back there.
    Rig next;
    next.Seed("Loaded", "Yes");
    next.SeedDword("Left", 600);
    next.SeedDword("Top", 900);
    next.StartUp();
    EXPECT_EQ(next.window.rect, (PixelRect{40, 60, 440, 360}));
}

TEST(PulsivaShutDown, RoundTripsThroughTheNextStartUp) {
    for (int dpi : {96, 120}) {
        for (bool check2 : {false, true}) {
            for (bool check3 : {false, true}) {
                Rig first;
                first.window.dpi = dpi;
                first.window.rect = {137, 91, 537, 391};
                first.window.check2 = check2;
                first.window.check3 = check3;
                first.ShutDown();

                FakeWindow second(first.log);
                second.dpi = dpi;
                first.log.clear();
                zv::StartUp(first.reg, second);
                std::string what = "dpi " + std::to_string(dpi) + " check2 " + std::to_string(check2) + " check3 " +
                                   std::to_string(check3);
                EXPECT_EQ(second.rect, first.window.rect) << what;
                EXPECT_EQ(second.check2, check2) << what;
                EXPECT_EQ(second.check3, check3) << what;
                EXPECT_EQ(second.minimized, check3) << what;
            }
        }
    }
}

TEST(PulsivaStartUp, OutageLossesAppliesWheneverStoredAndSensible) {
    // Stored value (absent: nothing, or text "7"), "Loaded" present, the count in use and stored back.
    const std::tuple<std::optional<std::int32_t>, bool, int> cases[] = {
        {std::nullopt, true, 3}, {5, true, 5}, {1, false, 1}, {0, true, 3}, {-1, true, 3}};
    for (const auto& [stored, loaded, applied] : cases) {
        Rig rig;
        if (loaded) rig.Seed("Loaded", "Yes");
        if (stored) rig.SeedDword("OutageLosses", *stored);
        else rig.Seed("OutageLosses", "7");
        rig.StartUp();
        EXPECT_EQ(rig.window.outageLosses, applied) << stored.value_or(7);
        rig.ShutDown();
        EXPECT_EQ(rig.Value("OutageLosses"), Dword(applied)) << stored.value_or(7);
    }
}

TEST(PulsivaShutDown, ARegistryThatRefusesWritesStillLetsTheProgramEnd) {
    Rig rig;
    rig.window.check2 = true;
    rig.reg.SetReadOnly(true);
    rig.ShutDown();
    ASSERT_GE(rig.log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(rig.log.end() - 3, rig.log.end()),
              (std::vector<std::string>{"close menu form", "remove icon", "unhook"}));
    EXPECT_FALSE(rig.Value("Loaded"));
}

TEST(Twips, PixelsToWholeTwips) {
    struct Case {
        int pixels, dpi;
        std::int32_t twips;
    } cases[] = {
        {100, 96, 1500}, {-100, 96, -1500}, {1, 120, 12}, {0, 96, 0}, {7, 100, 101},
        {1, 960, 2},  // 1.5 goes to the even neighbour
        {3, 960, 4},  // 4.5 too
        {5, 960, 8},  // 7.5
    };
    for (const Case& c : cases)
        EXPECT_EQ(PixelsToTwips(c.pixels, c.dpi), c.twips) << c.pixels << " px at " << c.dpi << " dpi";
}

TEST(OffScreenRule, WindowMustTouchTheVirtualScreen) {
    const PixelRect twoMonitors{-1280, 0, 1024, 1024};  // a second monitor to the left of the first
    struct Case {
        std::int32_t left, top;
        PixelRect screen;
        std::optional<PixelPoint> place;
        const char* what;
    } cases[] = {
        {-1000 * 15, 10 * 15, twoMonitors, PixelPoint{-1000, 10}, "on the left monitor"},
        {-1000 * 15, 10 * 15, {0, 0, 1024, 768}, std::nullopt, "the left monitor is gone"},
        {-1680 * 15, 0, twoMonitors, std::nullopt, "beyond the left monitor"},
        {-1679 * 15, 0, twoMonitors, PixelPoint{-1679, 0}, "a column on the left monitor"},
        {0, -300 * 15, {0, 0, 1024, 768}, std::nullopt, "ends at the top edge"},
        {0, -299 * 15, {0, 0, 1024, 768}, PixelPoint{0, -299}, "a row reaches down onto the screen"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StoredWindowPlace(c.left, c.top, 400, 300, c.screen, 96, 96), c.place) << c.what;
    EXPECT_EQ(StoredWindowPlace(1500, 1500, 400, 300, {0, 0, 1024, 768}, 120, 120), (PixelPoint{125, 125}))
        << "twips back to pixels at 120 dpi";
}

}  // namespace
}  // namespace zv
