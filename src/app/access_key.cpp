// Access keys of captions.
#include "app/access_key.h"

namespace zv {

namespace {
// Access keys are plain letters and digits; this needs no C library's locale.
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

char AccessKey(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // "&&" shows one ampersand
            continue;
        }
        return Lower(caption[i + 1]);
    }
    return 0;
}

bool HasAccessKey(const std::string& caption, char key) {
    const char own = AccessKey(caption);
    return own != 0 && own == Lower(key);
}

}  // namespace zv
