// Stored window state, start-up position and the first-run prompt.
#include "app/startup.h"

#include <cmath>

#include "platform/registry_helpers.h"

namespace zv {

const char kFirstRunPrompt[] =
    "This is the first time you are running Zarvelo. It is recommended\r\n"
    "to to take a backup of your current settings. Do you want to take a \r\n"
    "backup now?";

MainSettings ReadMainSettings(Registry& reg) {
    MainSettings s;
    s.loadedMain = ReadRegString(reg, kHkeyLocalMachine, kZarveloKey, "LoadedMain");
    if (PositionStored(s)) {
        s.leftMain = ReadRegDword(reg, kHkeyLocalMachine, kZarveloKey, "LeftMain", 0);
        s.topMain = ReadRegDword(reg, kHkeyLocalMachine, kZarveloKey, "TopMain", 0);
    }
    return s;
}

void WriteMainSettings(Registry& reg, std::int32_t leftTwips, std::int32_t topTwips) {
    WriteRegString(reg, kHkeyLocalMachine, kZarveloKey, "LoadedMain", "Yes");
    WriteRegDword(reg, kHkeyLocalMachine, kZarveloKey, "LeftMain", leftTwips);
    WriteRegDword(reg, kHkeyLocalMachine, kZarveloKey, "TopMain", topTwips);
}

bool PositionStored(const MainSettings& settings) { return settings.loadedMain == "Yes"; }
bool IsFirstRun(const MainSettings& settings) { return settings.loadedMain.empty(); }

std::int32_t TwipsFromPixels(int pixels, int dpi) {
    if (dpi <= 0) dpi = 96;
    return static_cast<std::int32_t>(std::lround(static_cast<double>(pixels) * 1440.0 / dpi));
}

int PixelsFromTwips(std::int32_t twips, int dpi) {
    if (dpi <= 0) dpi = 96;
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

PixelPoint StartUpPosition(const MainSettings& settings, int windowWidth, int windowHeight,
                           const ScreenMetrics& screen) {
    if (PositionStored(settings)) {
        const PixelPoint stored{PixelsFromTwips(settings.leftMain, screen.dpiX),
                                PixelsFromTwips(settings.topMain, screen.dpiY)};
        const PixelRect& v = screen.virtualScreen;
        // Use the stored place only if some of the window would be on a monitor; after a change
        // of screens it could otherwise open where nobody sees it.
        const bool overlaps = stored.x < v.right && stored.x + windowWidth > v.left && stored.y < v.bottom &&
                              stored.y + windowHeight > v.top;
        if (overlaps) return stored;
    }
    return PixelPoint{(screen.width - windowWidth) / 2, (screen.height - windowHeight) / 2};
}

}  // namespace zv
