// The Review Changes window's rows: keys written short, in key order, and cut in the middle to fit.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/change_set.h"

namespace zv {

// "HKLM", "HKCU", "HKCR", "HKU", as Registry Editor's users write them; other roots as RootName.
std::string ShortRootName(RegKey root);
// The short root, a backslash and the key path.
std::string ShortKeyText(const ValueLocation& where);

// The rows' indexes sorted by key, one key component after the other and without regard to case, so
// that a key's values and its subkeys stand together; rows of the same key keep the run's order.
std::vector<std::size_t> ReviewOrder(const ChangeSet& changes);

// The key as it fits in `width` by `textWidth`: whole, or its root, "..." and as many of its last
// components as fit ("HKLM\...\NetTrans\0003"); when even that is too wide, "..." and the end of the
// text; empty when not even "..." fits.
std::string CutKeyInMiddle(const std::string& key, int width, const std::function<int(std::string_view)>& textWidth);

}  // namespace zv
