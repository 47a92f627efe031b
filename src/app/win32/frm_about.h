// frmAbout, the about window: product picture, the systems it runs on, and the maker's addresses as links.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/launcher.h"

namespace zv {

// What frmAbout takes from the main window: the process seam for its links and the message box that
// reports a link that could not be opened.
struct AboutServices {
    std::shared_ptr<ProcessStarter> starter;
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)> messageBox;
};

// mnuAbout: shows frmAbout modally over the owner and returns when it is closed.
void ShowAboutWindow(HINSTANCE instance, HWND owner, const AboutServices& services);

// "Version 1.0.0" from the running program's version record; empty when it has none.
std::string ProgramVersionText();

// frmAbout without modality (tests drive it on their own thread); OK destroys it.
HWND CreateAboutWindow(HINSTANCE instance, HWND owner, const AboutServices& services);

// The hand pointer shown over the links: the system's where it has one (Windows 98, 2000 and later),
// otherwise our own (OwnHandCursor).
HCURSOR LinkCursor();

// Our own hand pointer, drawn in black and white; one for the whole program, never destroyed.
HCURSOR OwnHandCursor();

}  // namespace zv
