// HtmlHelpA from hhctrl.ocx, loaded when first needed and kept until the owner goes.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace zv {

class HtmlHelpLibrary {
public:
    HtmlHelpLibrary() = default;
    HtmlHelpLibrary(const HtmlHelpLibrary&) = delete;
    HtmlHelpLibrary& operator=(const HtmlHelpLibrary&) = delete;
    // Closes the help windows it opened before the library is let go.
    ~HtmlHelpLibrary();

    // The display-topic command; nothing happens when hhctrl.ocx is not there.
    void DisplayTopic(HWND owner, const std::string& helpFile, const std::string& topic);
    bool Available();

private:
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    bool tried_ = false;
    bool used_ = false;
    UniqueModule module_;
    HtmlHelpFn fn_ = nullptr;
};

// The program's folder followed by "\zarvelo.chm".
std::string ProgramHelpFile();

}  // namespace zv
