// The Review Changes window: every value a write run will change, as it is now and as it will be,
// before anything is written.
#pragma once

#include <windows.h>

#include "writerun/write_run.h"

namespace zv {

// Modal over `owner`; true when the user chose "&Write Changes", false on "&Cancel", Esc or close.
bool ShowReviewWindow(HINSTANCE instance, HWND owner, const ChangeSet& changes, const WriteRun& run);

}  // namespace zv
