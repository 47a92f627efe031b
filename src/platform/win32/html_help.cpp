// The one HTML Help loader of both programs.
#include "platform/win32/html_help.h"

#include "platform/win32/handles.h"

namespace zv {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HtmlHelpFunction HtmlHelpEntry() {
    // Loaded once per process and never unloaded: the help windows it opens are not modal, outlive
    // the call that opened them and run on hhctrl.ocx's code, so freeing the library while one is
    // open would leave a window without its procedure. Nor are they closed by the program; they
    // go with the process.
    static HMODULE library = LoadLibraryA("hhctrl.ocx");
    static HtmlHelpFunction entry = library ? ProcAddress<HtmlHelpFunction>(library, "HtmlHelpA") : nullptr;
    return entry;
}

}  // namespace

bool CallHtmlHelp(HWND owner, const std::string& helpFile, UINT command, DWORD_PTR data) {
    HtmlHelpFunction htmlHelp = HtmlHelpEntry();
    if (!htmlHelp) return false;
    htmlHelp(owner, helpFile.c_str(), command, data);
    return true;
}

std::string ProgramHelpFile() {
    char path[MAX_PATH] = {0};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s(path, n < MAX_PATH ? n : 0);
    return s.substr(0, s.find_last_of('\\')) + "\\zarvelo.chm";
}

}  // namespace zv
