// What both programs ask of the desktop they run on: the screen's DPI, the running program's path,
// 32-bit pictures to draw into, where a window sits on screen, and the box that asks where to save a file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/screen_geometry.h"

namespace zv {

// The screen's logical pixels per inch; 96 where the display does not say.
struct ScreenDpi {
    int x = 96;
    int y = 96;
};
ScreenDpi GetScreenDpi();

// The running program's own executable, and the folder it lies in (no trailing backslash).
std::string ProgramFilePath();
std::string ProgramDirectory();

// This computer's (NetBIOS) name; empty when Windows does not say.
std::string ComputerName();

// Whether a folder is on another computer (a UNC path or a network drive) or a CD, where it is no
// place of this computer's own to keep files in.
bool IsNetworkOrCdFolder(const std::string& folder);

// A top-down 32-bit DIB section of width x height pixels whose words are 0x00RRGGBB; null (and
// *bits null) when it could not be made.
HBITMAP CreateDib32(int width, int height, std::uint32_t** bits);

// The primary monitor's work area: the screen less the taskbar and other desktop toolbars.
PixelRect WorkArea();
// The work area of the monitor that holds most of `place`, or of the nearest one when none does; the
// primary work area on Windows 95 and NT 4, which know one monitor.
PixelRect WorkAreaNear(const PixelRect& place);
// All monitors together; the primary screen on Windows 95 and NT 4, which know only one.
PixelRect VirtualScreen();
// Where a top-level window is on screen when it is not minimized: its own rectangle, or while it is
// minimized (and lies far off screen) the place it will be restored to.
PixelRect RestoredWindowRect(HWND hwnd);

// The system's "Save As" box over `owner`. `path` holds the proposed name and receives the chosen one;
// `filter` is the box's list of pairs ("CSV files (*.csv)\0*.csv\0"). False when the user cancels.
// The common dialogs are loaded with the first box, not with the program.
// `filterIndex` (may be null): the file type shown first, from 1, and the one the user chose.
bool AskFileToSave(HWND owner, const char* filter, const char* defaultExtension, std::string* path,
                   int* filterIndex = nullptr);

}  // namespace zv
