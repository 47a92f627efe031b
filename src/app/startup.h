// The main window's stored state (LoadedMain, LeftMain, TopMain in twips), where it opens, and the
// first-run prompt.
#pragma once

#include <cstdint>
#include <string>

#include "platform/program_keys.h"
#include "platform/registry.h"
#include "platform/screen_geometry.h"

namespace zv {

// "This is the first time ... backup now?" with its line breaks.
extern const char kFirstRunPrompt[];

struct MainSettings {
    std::string loadedMain;  // "Yes" once the window has been closed
    std::int32_t leftMain = 0;  // twips
    std::int32_t topMain = 0;   // twips
};

// LeftMain and TopMain are read only when LoadedMain is "Yes" exactly.
MainSettings ReadMainSettings(Registry& reg);
// At shut-down: LoadedMain "Yes", then LeftMain and TopMain.
void WriteMainSettings(Registry& reg, std::int32_t leftTwips, std::int32_t topTwips);

bool PositionStored(const MainSettings& settings);  // LoadedMain is "Yes"
bool IsFirstRun(const MainSettings& settings);      // LoadedMain is empty

// Twips at the given logical pixels per inch, rounded to whole numbers.
std::int32_t TwipsFromPixels(int pixels, int dpi);
int PixelsFromTwips(std::int32_t twips, int dpi);

struct ScreenMetrics {
    int width = 0;   // primary screen
    int height = 0;
    PixelRect virtualScreen;  // all monitors together
    int dpiX = 96;
    int dpiY = 96;
};

// The window's top-left corner at start-up: the stored position when there is one and the window
// placed there would overlap the screen, else centred on the primary screen.
PixelPoint StartUpPosition(const MainSettings& settings, int windowWidth, int windowHeight,
                           const ScreenMetrics& screen);

}  // namespace zv
