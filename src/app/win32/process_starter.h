// The process seam of the launcher on Windows: CreateProcessA for command lines, ShellExecuteA for documents.
#pragma once

#include "app/launcher.h"

namespace zv {

class Win32ProcessStarter : public ProcessStarter {
public:
    bool Run(const std::string& commandLine, ShowMode show) override;
    bool ShellOpen(OwnerWindow owner, const std::string& file, ShowMode show) override;
};

// Shows a launch outcome's message, if it has one, in a message box owned by the window.
void ReportLaunchOutcome(OwnerWindow owner, const LaunchOutcome& outcome);

}  // namespace zv
