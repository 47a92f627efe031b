// HtmlHelpA from hhctrl.ocx, for both programs: loaded the first time help is asked for.
#pragma once

#include <windows.h>

#include <string>

namespace zv {

// HtmlHelpA's commands used here.
inline constexpr UINT kHhDisplayTopic = 0x0000;
inline constexpr UINT kHhDisplayToc = 0x0001;
inline constexpr UINT kHhDisplayIndex = 0x0002;

// Calls HtmlHelpA; false (and nothing happens) when HTML Help is not installed. Its result is not
// looked at: a missing help file shows nothing from this program.
bool CallHtmlHelp(HWND owner, const std::string& helpFile, UINT command, DWORD_PTR data);

// The running program's folder followed by "\zarvelo.chm".
std::string ProgramHelpFile();

}  // namespace zv
