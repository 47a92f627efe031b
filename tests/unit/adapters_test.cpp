// Adapter discovery, the list box items and the resolution of a choice to write targets.
#include <gtest/gtest.h>

#include <cstring>

#include "tuning/adapters.h"
#include "unit/tuning_support.h"

namespace zv {
namespace {

using namespace zvtest;

COpSysInfo Os(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    return COpSysInfo([=](OsVersionRecord& rec) {
        rec.dwPlatformId = platform;
        rec.dwMajorVersion = major;
        rec.dwMinorVersion = minor;
        rec.dwBuildNumber = build;
        return true;
    });
}
const COpSysInfo kWin98 = Os(1, 4, 10, 2222);
const COpSysInfo kWinXp = Os(2, 5, 1, 2600);

// A TCP/IP instance under Enum\Network\MSTCP with its driver key and description.
void AddInstance(MemoryRegistry& reg, const std::string& name, const std::string& description,
                 const std::string& driver) {
    Seed(reg, kHkeyLocalMachine, "Enum\\Network\\MSTCP\\" + name, "Driver", Sz(driver));
    if (!description.empty()) Seed(reg, kHkeyLocalMachine, kNet + name, "DriverDesc", Sz(description));
}

TEST(AdapterSlots, ElevenSlotsWithTheirBindingKeys) {
    const auto slots = SlotTable();
    ASSERT_EQ(slots.size(), 11u);
    const char* keys[] = {"0000", "0001", "0002", "0003", "0004", "0005", "0006", "0007", "0008", "0009", "0010"};
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(slots[i].adapterKey, keys[i]) << i;
        EXPECT_EQ(slots[i].bindingKey, std::string("NetTrans\\") + keys[i]) << i;
    }
}

TEST(AdapterDiscovery, TwoAdaptersListedThenDefaultAndSecondResolvesToItsKeys) {
    MemoryRegistry reg;
    AddInstance(reg, "0000", "Dial-Up Adapter", "NetTrans\\0000");
    AddInstance(reg, "0001", "NE2000 Compatible", "NetTrans\\0004");
    auto found = DiscoverAdapters(reg, kWin98);
    EXPECT_EQ(found.instanceNames, (std::vector<std::string>{"0000", "0001"}));
    EXPECT_EQ(found.bindingKeys, (std::vector<std::string>{"NetTrans\\0000", "NetTrans\\0004"}));

    const auto items = AdapterListItems(found, true);
    EXPECT_EQ(items, (std::vector<std::string>{"Dial-Up Adapter", "NE2000 Compatible", "Default Adapter"}));
    EXPECT_EQ(ResolveAdapterTargets(items[1], 1, found),
              (std::vector<AdapterTarget>{{"0001", "NetTrans\\0004"}}));
    EXPECT_EQ(ResolveAdapterTargets(items[2], 2, found), SlotTable());
}

TEST(AdapterDiscovery, EmptyFirstDescriptionDropsItemAndElementTogether) {
    MemoryRegistry reg;
    AddInstance(reg, "0000", "", "NetTrans\\0000");
    AddInstance(reg, "0001", "NE2000 Compatible", "NetTrans\\0001");
    AddInstance(reg, "0002", "", "NetTrans\\0002");
    auto found = DiscoverAdapters(reg, kWin98);
    EXPECT_EQ(found.descriptions, (std::vector<std::string>{"", "NE2000 Compatible", ""}));

    const auto items = AdapterListItems(found, true);
    // Only the first empty description is dropped; a later one stays as an empty item.
    EXPECT_EQ(items, (std::vector<std::string>{"NE2000 Compatible", "", "Default Adapter"}));
    EXPECT_EQ(found.instanceNames, (std::vector<std::string>{"0001", "0002"}));
    EXPECT_EQ(ResolveAdapterTargets(items[0], 0, found), (std::vector<AdapterTarget>{{"0001", "NetTrans\\0001"}}));
    EXPECT_EQ(ResolveAdapterTargets(items[1], 1, found), (std::vector<AdapterTarget>{{"0002", "NetTrans\\0002"}}));
}

TEST(AdapterDiscovery, MissingDriverGivesAnEmptyBindingKey) {
    MemoryRegistry reg;
    Seed(reg, kHkeyLocalMachine, "Enum\\Network\\MSTCP\\0000", "Other", Sz("x"));
    Seed(reg, kHkeyLocalMachine, kNet + "0000", "DriverDesc", Sz("Card"));
    auto found = DiscoverAdapters(reg, kWin98);
    EXPECT_EQ(ResolveAdapterTargets("Card", 0, found), (std::vector<AdapterTarget>{{"0000", ""}}));
}

TEST(AdapterDiscovery, NothingOnNtOrWithoutInstances) {
    MemoryRegistry reg;
    AddInstance(reg, "0000", "Card", "NetTrans\\0000");
    auto nt = DiscoverAdapters(reg, kWinXp);
    EXPECT_TRUE(nt.instanceNames.empty() && nt.descriptions.empty() && nt.bindingKeys.empty());
    EXPECT_EQ(AdapterListItems(nt, false), std::vector<std::string>{"Default Adapter"});

    MemoryRegistry bare;
    auto none = DiscoverAdapters(bare, kWin98);
    EXPECT_EQ(AdapterListItems(none, true), std::vector<std::string>{"Default Adapter"});
}

TEST(AdapterResolution, DefaultIsExactAndAnIndexWithoutElementGivesNothing) {
    DiscoveredAdapters found{{"0000"}, {"Card"}, {"NetTrans\\0000"}};
    EXPECT_EQ(ResolveAdapterTargets("default adapter", 0, found),
              (std::vector<AdapterTarget>{{"0000", "NetTrans\\0000"}}))
        << "the comparison is case-sensitive";
    EXPECT_TRUE(ResolveAdapterTargets("Card", 1, found).empty());
    EXPECT_TRUE(ResolveAdapterTargets("Card", -1, found).empty());
    EXPECT_EQ(ResolveAdapterTargets("Default Adapter", -1, found).front(), (AdapterTarget{"0000", "NetTrans\\0000"}));
}

}  // namespace
}  // namespace zv
