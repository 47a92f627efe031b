// The question Zarvelo asks before anything else when a write run was cut off (a power cut, a crash,
// Task Manager): put back the values from before, or keep them as they are.
#pragma once

#include <windows.h>

#include "app/win32/form1.h"

namespace zv {

// Whether this is the only Zarvelo running; the first call makes this process one that others see.
bool OnlyZarveloRunning();

// Asks while a cut-off run is recorded, until one of the choices has been carried out (a Review Changes
// window that is cancelled asks again; a put-back that could not start is told and asked at the next
// start). Returns at once when no run is recorded, or while another Zarvelo runs, whose run it may be.
// Closing the window keeps the values as they are.
void AskAboutCutOffRun(HINSTANCE instance, const Form1Services& services, HWND owner);

}  // namespace zv
