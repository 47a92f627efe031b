// zarvelo.exe started with arguments: the command line runs before any window exists and, with
// /quiet, without one.
#pragma once

#include <string>

#include "platform/registry.h"

namespace zv {

// Writes (or with `append` adds to) a text file; empty on success, else what went wrong.
std::string WriteTextFile(const std::string& path, const std::string& text, bool append);

// Runs the command line when there is one (`arguments` as WinMain receives them) and returns true with
// the program's exit code; false when there are no arguments and the main window should open.
bool RunCommandLineStart(const char* arguments, Registry& registry, const std::string& programVersion, int* exitCode);

}  // namespace zv
