// Key names as advapi32 treats them, shared by the registries kept in memory.
#pragma once

#include <string>
#include <vector>

namespace zv {

// Registry names compare without regard to case (ASCII letters, as advapi32 folds them).
std::string UpperName(const std::string& s);

// Splits a relative key path; a leading backslash or an empty component is a bad path name,
// trailing backslashes are ignored as advapi32 does.
bool SplitKeyPath(const std::string& path, std::vector<std::string>* parts);

}  // namespace zv
