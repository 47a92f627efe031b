// Access keys: the letter after the single & of a caption, which Alt and that letter choose.
#pragma once

#include <string>

namespace zv {

// The access key of a caption in lower case ("E&xit" gives 'x'), or 0 when it has none ("&&" is
// a plain ampersand).
char AccessKey(const std::string& caption);

// Whether Alt with that character chooses the caption.
bool HasAccessKey(const std::string& caption, char key);

}  // namespace zv
