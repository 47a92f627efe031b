// Registers the common control classes a window needs, on every Windows from the first Windows 95 on.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/handles.h"

namespace zv {

// InitCommonControlsEx came with Internet Explorer 3 (comctl32 4.70), so it is looked up at run time;
// the first Windows 95 has only InitCommonControls, which registers every class it knows.
inline void InitCommonControlClasses(DWORD classes) {
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    auto initEx = comctl ? ProcAddress<InitEx>(comctl, "InitCommonControlsEx") : nullptr;
    if (initEx) {
        INITCOMMONCONTROLSEX icc{sizeof icc, classes};
        if (initEx(&icc)) return;
    }
    InitCommonControls();
}

}  // namespace zv
