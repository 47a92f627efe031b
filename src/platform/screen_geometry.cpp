// Workspace to screen coordinates.
#include "platform/screen_geometry.h"

namespace zv {

PixelRect ScreenFromWorkspace(const PixelRect& workspace, const PixelRect& workArea) {
    return {workspace.left + workArea.left, workspace.top + workArea.top, workspace.right + workArea.left,
            workspace.bottom + workArea.top};
}

}  // namespace zv
