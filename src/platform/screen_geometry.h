// Screen rectangles and points in pixels, and the change from a window placement's workspace
// coordinates to screen coordinates.
#pragma once

namespace zv {

// A rectangle in pixels; right and bottom lie just outside it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// A window's restored place as its placement gives it (workspace coordinates, whose origin is the
// work area's top-left corner) in screen coordinates: with the taskbar at the top or left of the
// screen the two differ by the taskbar's thickness.
PixelRect ScreenFromWorkspace(const PixelRect& workspace, const PixelRect& workArea);

// Where a window's top-left corner goes so that all of the window lies in the work area, moved no
// further than that. A place stored at a smaller DPI or on a larger screen may no longer fit. A window
// larger than the area keeps its top-left corner in it, where its caption and menu are.
PixelPoint MoveInside(const PixelRect& window, const PixelRect& workArea);

}  // namespace zv
