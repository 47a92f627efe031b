// Key names as advapi32 treats them.
#include "platform/registry_paths.h"

#include <algorithm>

namespace zv {

std::string UpperName(const std::string& s) {
    std::string u = s;
    std::transform(u.begin(), u.end(), u.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return u;
}

bool SplitKeyPath(const std::string& path, std::vector<std::string>* parts) {
    parts->clear();
    parts->reserve(8);
    std::string p = path;
    while (!p.empty() && p.back() == '\\') p.pop_back();
    if (p.empty()) return true;
    if (p.front() == '\\') return false;
    std::size_t start = 0;
    while (true) {
        auto end = p.find('\\', start);
        std::string part = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty()) return false;
        parts->push_back(part);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

}  // namespace zv
