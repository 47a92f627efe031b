// Where Zarvelo keeps its own settings, for every part of it that stores one.
#pragma once

#include <string>

namespace zv {

inline const std::string kZarveloKey = "SOFTWARE\\Quonibar\\Zarvelo";

}  // namespace zv
