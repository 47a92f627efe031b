// The keep-alive program's start-up and shut-down: the stored options and position, the autostart
// entry, and the order in which the window, the tray icon and the menu form come and go.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "keepalive/outage_log.h"
#include "platform/registry.h"
#include "platform/screen_geometry.h"

namespace zv {

inline constexpr char kPulsivaKey[] = "SOFTWARE\\Quonibar\\Pulsiva";
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValue[] = "Pulsiva";
// The losses in a row that make an outage (REG_DWORD); no user interface sets it.
inline constexpr char kOutageLossesValue[] = "OutageLosses";
// "Alert on &Outage" in the tray menu, "1" or "0" like the other options; on unless stored off.
inline constexpr char kAlertOnOutageValue[] = "AlertOnOutage";

bool Intersects(const PixelRect& a, const PixelRect& b);

// Pixels to twips at the given logical DPI, rounded to a whole twip (a half to the even neighbour).
std::int32_t PixelsToTwips(int pixels, int dpi);

// Where a window of the given size goes for a stored position: the position in pixels, or nothing
// when the window would lie off every monitor (outside the virtual screen), so that it opens where
// a new window opens.
std::optional<PixelPoint> StoredWindowPlace(std::int32_t leftTwips, std::int32_t topTwips, int width, int height,
                                            const PixelRect& virtualScreen, int dpiX, int dpiY);

// The window and its companions as start-up and shut-down see them.
class LifecycleWindow {
public:
    virtual ~LifecycleWindow() = default;
    virtual void HookWindow() = 0;
    virtual PixelRect WindowRect() = 0;    // where the window is now
    // Where the window is when not minimized: its normal position, also while it is minimized
    // (a minimized window's own rectangle lies far off screen).
    virtual PixelRect NormalRect() = 0;
    virtual PixelRect VirtualScreen() = 0;
    virtual int DpiX() = 0;
    virtual int DpiY() = 0;
    virtual void MoveWindow(int x, int y) = 0;
    virtual bool Check2() = 0;             // "Run when Windows starts."
    virtual void SetCheck2(bool on) = 0;
    virtual bool Check3() = 0;             // "Start Minimized"
    virtual void SetCheck3(bool on) = 0;
    virtual void Minimize() = 0;           // the window goes to the tray only
    virtual void AddTrayIcon() = 0;
    virtual void CloseMenuForm() = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void UnhookWindow() = 0;
    virtual std::string ProgramPath() = 0;  // the running program's own executable
    // The outage log's count of losses in a row; the window hands it to its line watch.
    virtual void SetOutageLosses(int losses) {}
    virtual int OutageLosses() { return kDefaultOutageLosses; }
    virtual void SetAlertOnOutage(bool on) {}
    virtual bool AlertOnOutage() { return true; }
};

// Start-up from the hook onwards: hook the window, apply the stored options when they were stored
// by a previous run ("Loaded" is "Yes"), add the tray icon. "OutageLosses" applies whenever it is
// there, since only someone editing the registry sets it.
void StartUp(Registry& reg, LifecycleWindow& window);
// Shut-down: store the options and the position, set or remove the autostart entry, close the menu
// form, remove the tray icon, unhook the window.
void ShutDown(Registry& reg, LifecycleWindow& window);

}  // namespace zv
