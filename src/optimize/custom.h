// The custom editor's 35 drop-down editors as one table (item lists, catalogue entries, value forms,
// adapter scope, "Default" deletions) and Apply, which turns their selections into registry changes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "tuning/adapters.h"
#include "tuning/catalogue.h"

namespace zv {

inline constexpr int kCustomEditorCount = 35;

// The fixed item lists the editors offer; item 0 is "Default" in every one.
enum class ItemList { Mtu, Window, Mss, Switch, Ttl, KeepAlive, NWLink, NetBEUI };

struct ItemListData {
    ItemList id;
    std::vector<std::string> items;    // as shown, "Default" first
    std::vector<std::int32_t> values;  // what items 1..n write (values[k - 1] for item k)
};
const ItemListData& ListData(ItemList list);

// Which adapter keys an editor's writer takes: none (a global value), the adapter key, or the adapter
// key and the TCP/IP binding key.
enum class AdapterScope { None, Adapter, AdapterAndBinding };

struct CustomEditor {
    int combo;  // n of Combo<n>
    ItemList list;
    EntryId entry9x;                  // written on Windows 95/98/Me
    std::optional<EntryId> entryNt;   // written on Windows NT/2000/XP; none: the editor is ignored there
    AdapterScope scope;
    // "Default" on 95/98/Me, in order. For adapter-level editors the whole list is made per adapter
    // target, all of one target before the next (fixed locations among them included).
    std::vector<RegLocation> defaults9x;
    std::vector<RegLocation> defaultsNt;  // "Default" on NT/2000/XP
};

// Combo1 ... Combo35, in order.
std::span<const CustomEditor> CustomEditors();
const CustomEditor& CustomEditorFor(int combo);

// Selection index of each editor, Combo1 first: -1 nothing selected, 0 "Default", k >= 1 item k.
using CustomSelections = std::array<int, kCustomEditorCount>;
CustomSelections NoSelections();

// What the editor's writer takes for item k in that set: a number for the entries the set keeps as
// numbers, the decimal text otherwise, a one-byte array for SLOWNET. Nothing when the editor has no
// entry in the set or there is no item k.
std::optional<EntryValue> CustomItemValue(const CustomEditor& editor, AccessorSet set, int item);

// The adapter chosen on the wizard's first page: the selected cmbAdapter item.
struct AdapterChoice {
    std::string itemText;
    int itemIndex = -1;
};

// The routine the family runs: Me takes the Win95 one before 98 is asked; nothing for an unknown family.
enum class CustomRoutine { None, Win95, Win98, Nt };
CustomRoutine CustomRoutineFor(WindowsFamily family);

// Every editor Combo1 ... Combo35 by its selection. Adapter-level editors are done for each target the
// adapter choice resolves to (all eleven slots for "Default Adapter"); when the choice has no
// discovered element they are skipped and the others still applied.
void ApplyCustomWin95(Registry& reg, const CustomSelections& selections, const AdapterChoice& choice,
                      const DiscoveredAdapters& adapters);
void ApplyCustomWin98(Registry& reg, const CustomSelections& selections, const AdapterChoice& choice,
                      const DiscoveredAdapters& adapters);
// Only the eight editors with an NT entry, every value a number, deletions in the Tcpip key.
void ApplyCustomNT(Registry& reg, const CustomSelections& selections);

// Apply for the family of a fresh version record. Returns how many writes and deletions the registry
// refused (deleting what is absent is no failure).
unsigned long ApplyCustom(Registry& reg, WindowsFamily family, const CustomSelections& selections,
                          const AdapterChoice& choice, const DiscoveredAdapters& adapters);

}  // namespace zv
