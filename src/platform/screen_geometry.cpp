// Workspace to screen coordinates, and windows kept inside the work area.
#include "platform/screen_geometry.h"

namespace zv {

PixelRect ScreenFromWorkspace(const PixelRect& workspace, const PixelRect& workArea) {
    return {workspace.left + workArea.left, workspace.top + workArea.top, workspace.right + workArea.left,
            workspace.bottom + workArea.top};
}

namespace {
int Inside(int start, int length, int areaStart, int areaEnd) {
    if (start + length > areaEnd) start = areaEnd - length;
    return start < areaStart ? areaStart : start;
}
}  // namespace

PixelPoint MoveInside(const PixelRect& window, const PixelRect& workArea) {
    return {Inside(window.left, window.Width(), workArea.left, workArea.right),
            Inside(window.top, window.Height(), workArea.top, workArea.bottom)};
}

}  // namespace zv
