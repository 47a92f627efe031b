// The current value of each custom editor's catalogue entry, read at its main location.
#include "optimize/custom_current.h"

#include "platform/change_set.h"

namespace zv {
namespace {

// The stored value as the editor's list would name it.
std::string Shown(Registry& reg, const CatalogueEntry& entry, const AdapterTarget& target, const ItemListData& list) {
    const auto value = ReadValue(reg, ValueLocation{entry.main.root, KeyPath(entry.main, target), entry.main.value});
    if (!value) return "not set";
    std::optional<std::int64_t> number;
    std::string text;
    const auto& d = value->data;
    if (value->type == kRegDword && d.size() == 4) {
        number = static_cast<std::int32_t>(std::uint32_t(d[0]) | std::uint32_t(d[1]) << 8 |
                                           std::uint32_t(d[2]) << 16 | std::uint32_t(d[3]) << 24);
        text = std::to_string(*number);
    } else if (value->type == kRegSz) {
        text.assign(d.begin(), d.end());
        if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
        if (text.empty()) return "(empty)";
        if (text.find_first_not_of("0123456789") == std::string::npos && text.size() < 11) number = std::stoll(text);
    } else if (value->type == kRegBinary && !d.empty() && entry.kind == KindRule::Binary) {
        number = d[0];
        text = std::to_string(d[0]);
    } else {
        return ValueText(value, "not set");
    }
    if (number) {
        for (std::size_t k = 0; k < list.values.size(); ++k) {
            if (list.values[k] == *number) return list.items[k + 1];
        }
    }
    return text;
}

}  // namespace

std::array<std::string, kCustomEditorCount> CurrentEditorTexts(Registry& reg, WindowsFamily family,
                                                               const AdapterChoice& choice,
                                                               const DiscoveredAdapters& adapters) {
    std::array<std::string, kCustomEditorCount> texts;
    const auto set = OptimizerAccessorSet(family);
    if (!set) return texts;
    const auto targets = ResolveAdapterTargets(choice.itemText, choice.itemIndex, adapters);
    for (const CustomEditor& editor : CustomEditors()) {
        const std::optional<EntryId> id = *set == AccessorSet::Nt ? editor.entryNt : std::optional(editor.entry9x);
        if (!id) continue;
        const CatalogueEntry& entry = Entry(*id);
        const ItemListData& list = ListData(editor.list);
        std::string& text = texts[static_cast<std::size_t>(editor.combo - 1)];
        if (!IsAdapterEntry(entry)) {
            text = "Now: " + Shown(reg, entry, {}, list);
            continue;
        }
        if (targets.empty()) continue;
        const std::string first = Shown(reg, entry, targets.front(), list);
        bool same = true;
        for (std::size_t i = 1; i < targets.size() && same; ++i) same = Shown(reg, entry, targets[i], list) == first;
        text = "Now: " + (same ? first : std::string("differs"));
    }
    return texts;
}

}  // namespace zv
