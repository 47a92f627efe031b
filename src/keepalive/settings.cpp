// The keep-alive program's stored options, position and autostart entry.
#include "keepalive/settings.h"

#include <cmath>

#include "platform/registry_helpers.h"

namespace zv {

bool Intersects(const PixelRect& a, const PixelRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::int32_t PixelsToTwips(int pixels, int dpi) {
    if (dpi <= 0) return 0;
    // nearbyint rounds a half to the even neighbour in the default rounding mode.
    return static_cast<std::int32_t>(std::nearbyint(pixels * 1440.0 / dpi));
}

namespace {
int TwipsToPixel(std::int32_t twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}
}  // namespace

std::optional<PixelPoint> StoredWindowPlace(std::int32_t leftTwips, std::int32_t topTwips, int width, int height,
                                            const PixelRect& virtualScreen, int dpiX, int dpiY) {
    PixelPoint at{TwipsToPixel(leftTwips, dpiX), TwipsToPixel(topTwips, dpiY)};
    PixelRect window{at.x, at.y, at.x + width, at.y + height};
    if (!Intersects(window, virtualScreen)) return std::nullopt;
    return at;
}

void StartUp(Registry& reg, LifecycleWindow& window) {
    window.HookWindow();
    const std::string loaded = ReadRegString(reg, kHkeyLocalMachine, kPulsivaKey, "Loaded");
    const std::string winStart = ReadRegString(reg, kHkeyLocalMachine, kPulsivaKey, "WinStart");
    const std::string minimized = ReadRegString(reg, kHkeyLocalMachine, kPulsivaKey, "Minimized");
    window.SetOutageLosses(ValidOutageLosses(
        ReadRegDword(reg, kHkeyLocalMachine, kPulsivaKey, kOutageLossesValue, kDefaultOutageLosses)));
    if (loaded == "Yes") {
        const PixelRect now = window.WindowRect();
        const int dpiX = window.DpiX(), dpiY = window.DpiY();
        std::int32_t left =
            ReadRegDword(reg, kHkeyLocalMachine, kPulsivaKey, "Left", PixelsToTwips(now.left, dpiX));
        std::int32_t top = ReadRegDword(reg, kHkeyLocalMachine, kPulsivaKey, "Top", PixelsToTwips(now.top, dpiY));
        if (std::optional<PixelPoint> at =
                StoredWindowPlace(left, top, now.Width(), now.Height(), window.VirtualScreen(), dpiX, dpiY)) {
            window.MoveWindow(at->x, at->y);
        }
        if (winStart == "1") window.SetCheck2(true);
        if (ReadRegString(reg, kHkeyLocalMachine, kPulsivaKey, kAlertOnOutageValue) == "0") window.SetAlertOnOutage(false);
        if (minimized == "1") {
            window.SetCheck3(true);
            window.Minimize();
        }
    }
    window.AddTrayIcon();
}

void ShutDown(Registry& reg, LifecycleWindow& window) {
    WriteRegString(reg, kHkeyLocalMachine, kPulsivaKey, "Loaded", "Yes");
    const PixelRect normal = window.NormalRect();
    WriteRegDword(reg, kHkeyLocalMachine, kPulsivaKey, "Left", PixelsToTwips(normal.left, window.DpiX()));
    WriteRegDword(reg, kHkeyLocalMachine, kPulsivaKey, "Top", PixelsToTwips(normal.top, window.DpiY()));
    const bool check2 = window.Check2();
    WriteRegString(reg, kHkeyLocalMachine, kPulsivaKey, "WinStart", check2 ? "1" : "0");
    WriteRegString(reg, kHkeyLocalMachine, kPulsivaKey, "Minimized", window.Check3() ? "1" : "0");
    WriteRegDword(reg, kHkeyLocalMachine, kPulsivaKey, kOutageLossesValue, window.OutageLosses());
    WriteRegString(reg, kHkeyLocalMachine, kPulsivaKey, kAlertOnOutageValue, window.AlertOnOutage() ? "1" : "0");
    // Quoted: under "C:\Program Files" an unquoted path would have Windows try "C:\Program.exe" first.
    if (check2) WriteRegString(reg, kHkeyLocalMachine, kRunKey, kRunValue, "\"" + window.ProgramPath() + "\"");
    else DeleteRegValue(reg, kHkeyLocalMachine, kRunKey, kRunValue);
    window.CloseMenuForm();
    window.RemoveTrayIcon();
    window.UnhookWindow();
}

}  // namespace zv
