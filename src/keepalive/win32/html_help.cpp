// HtmlHelpA from hhctrl.ocx, loaded at run time.
#include "keepalive/win32/html_help.h"

#include "platform/win32/desktop.h"

namespace zv {

namespace {
constexpr UINT kHhDisplayTopic = 0x0000;
constexpr UINT kHhCloseAll = 0x0012;
}  // namespace

HtmlHelpLibrary::~HtmlHelpLibrary() {
    if (fn_ && used_) fn_(nullptr, nullptr, kHhCloseAll, 0);
}

bool HtmlHelpLibrary::Available() {
    if (!tried_) {
        tried_ = true;
        module_.reset(LoadLibraryA("hhctrl.ocx"));
        if (module_) fn_ = ProcAddress<HtmlHelpFn>(module_.get(), "HtmlHelpA");
    }
    return fn_ != nullptr;
}

void HtmlHelpLibrary::DisplayTopic(HWND owner, const std::string& helpFile, const std::string& topic) {
    if (!Available()) return;
    used_ = true;
    fn_(owner, helpFile.c_str(), kHhDisplayTopic, reinterpret_cast<DWORD_PTR>(topic.c_str()));
}

std::string ProgramHelpFile() { return ProgramDirectory() + "\\zarvelo.chm"; }

}  // namespace zv
