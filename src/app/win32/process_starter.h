// The process seam of the launcher on Windows: CreateProcessA for command lines, ShellExecuteA for documents.
#pragma once

#include "app/launcher.h"

namespace zv {

class Win32ProcessStarter : public ProcessStarter {
public:
    bool Run(const std::string& commandLine, ShowMode show) override;
    bool ShellOpen(OwnerWindow owner, const std::string& file, ShowMode show) override;
};

}  // namespace zv
