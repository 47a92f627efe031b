// The Review Changes window's rows: keys written short, in key order, and cut in the middle to fit.
#include "app/review_rows.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace zv {
namespace {

constexpr std::string_view kEllipsis = "...";

// Compares two key paths component by component without regard to case: "MSTCP" comes before
// "MSTCP\Parameters", which comes before "MSTCPX".
bool KeyBefore(std::string_view a, std::string_view b) {
    for (;;) {
        const std::size_t endA = std::min(a.find('\\'), a.size());
        const std::size_t endB = std::min(b.find('\\'), b.size());
        const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
        const std::string_view partA = a.substr(0, endA), partB = b.substr(0, endB);
        if (!std::equal(partA.begin(), partA.end(), partB.begin(), partB.end(),
                        [&](char x, char y) { return lower(x) == lower(y); })) {
            return std::lexicographical_compare(partA.begin(), partA.end(), partB.begin(), partB.end(),
                                                [&](char x, char y) { return lower(x) < lower(y); });
        }
        if (endA == a.size() || endB == b.size()) return endA == a.size() && endB != b.size();
        a.remove_prefix(endA + 1);
        b.remove_prefix(endB + 1);
    }
}

}  // namespace

std::string ShortRootName(RegKey root) {
    switch (root) {
        case 0x80000000u: return "HKCR";
        case kHkeyCurrentUser: return "HKCU";
        case kHkeyLocalMachine: return "HKLM";
        case 0x80000003u: return "HKU";
        default: return RootName(root);
    }
}

std::string ShortKeyText(const ValueLocation& where) {
    return where.key.empty() ? ShortRootName(where.root) : ShortRootName(where.root) + "\\" + where.key;
}

std::vector<std::size_t> ReviewOrder(const ChangeSet& changes) {
    std::vector<std::string> keys;
    for (const ValueChange& row : changes.rows) keys.push_back(ShortKeyText(row.where));
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return KeyBefore(keys[a], keys[b]); });
    return order;
}

std::string CutKeyInMiddle(const std::string& key, int width, const std::function<int(std::string_view)>& textWidth) {
    if (textWidth(key) <= width) return key;
    // The root and as many whole components from the end as fit, longest first.
    const std::size_t rootEnd = key.find('\\');
    if (rootEnd != std::string::npos) {
        const std::string head = key.substr(0, rootEnd + 1) + std::string(kEllipsis);
        for (std::size_t at = key.find('\\', rootEnd + 1); at != std::string::npos; at = key.find('\\', at + 1)) {
            const std::string cut = head + key.substr(at);
            if (textWidth(cut) <= width) return cut;
        }
    }
    // Not even the last component beside the root: the end of the text, as much as fits.
    for (std::size_t from = 1; from <= key.size(); ++from) {
        const std::string cut = std::string(kEllipsis) + key.substr(from);
        if (textWidth(cut) <= width) return cut;
    }
    return {};
}

}  // namespace zv
