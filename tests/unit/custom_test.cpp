// The custom editors against a hand-written table (items, entries, value forms, "Default" deletions,
// NT subset and order), Apply's scope, order and failure count over the registry, and the page's tabs
// and Apply run.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/custom_page.h"
#include "optimize/custom.h"
#include "unit/tuning_support.h"

namespace zv {
namespace {

using namespace zvtest;

// One discovered adapter, 0012 bound to NetTrans\0012, shown as the list's item 0.
const std::string kAdapterKey = kNet + "0012";
const std::string kBindingKey = kClass + "NetTrans\\0012";
const DiscoveredAdapters kOneAdapter{{"0012"}, {"Network Card"}, {"NetTrans\\0012"}};
const AdapterChoice kCard{"Network Card", 0};
const AdapterChoice kAllSlots{"Default Adapter", 1};

struct List {
    std::vector<std::string> items;
    std::vector<std::uint32_t> values;
};
const List kMtu{{"Default", "576", "1006", "1492", "1500", "1524", "4352", "4464", "9180", "17914"},
                {576, 1006, 1492, 1500, 1524, 4352, 4464, 9180, 17914}};
const List kWindow{{"Default", "8576", "15456", "23232", "23360", "23744", "68992", "70784", "146240", "285984"},
                   {8576, 15456, 23232, 23360, 23744, 68992, 70784, 146240, 285984}};
const List kMss{{"Default", "536", "966", "1452", "1460", "1484", "4312", "4424", "9140", "17874"},
                {536, 966, 1452, 1460, 1484, 4312, 4424, 9140, 17874}};
const List kSwitch{{"Default", "On", "Off"}, {1, 0}};
const List kTtl{{"Default", "4", "8", "16", "32", "64", "128", "256"}, {4, 8, 16, 32, 64, 128, 256}};
const List kKeepAlive{{"Default", "5", "10", "20", "30", "40", "50", "60"},
                      {300000, 600000, 1200000, 1800000, 2400000, 3000000, 3600000}};
const List kNw{{"Default", "2", "4", "8", "16", "32", "64", "128", "255"}, {2, 4, 8, 16, 32, 64, 128, 255}};
const List kNb{{"Default", "4", "8", "16", "32", "64", "128", "255"}, {4, 8, 16, 32, 64, 128, 255}};

// "@" stands for the adapter key, "#" for the binding key.
const std::string kAdapter = "@";
const std::string kBinding = "#";
const std::string kForceeven = kNwlink + "\\Ndi\\params\\forceeven";
const std::string kCache = kNwlink + "\\Ndi\\params\\cachesize";
const std::string kMaxconnect = kNwlink + "\\Ndi\\params\\maxconnect";
const std::string kMaxsockets = kNwlink + "\\Ndi\\params\\maxsockets";
const std::string kSessions = kNetbeui + "\\Ndi\\params\\sessions";
const std::string kNcbs = kNetbeui + "\\Ndi\\params\\ncbs";

struct Row {
    int combo;
    const List* list;
    std::string key, value;  // main location written on 95/98/Me
    char win95, win98;       // S text, D number, B one byte
    std::string ntValue;     // in the Tcpip key; empty: not written on NT/2000/XP
    std::vector<std::string> defaults;  // "key|value" deleted for "Default" on 95/98/Me, in order
};

std::vector<std::string> AdapterNdi(const std::string& v) {
    return {"@|" + v, "@\\Ndi\\Params\\" + v + "|", "@\\Ndi\\Params\\" + v + "|default"};
}
std::vector<std::string> Plus(std::vector<std::string> a, const std::string& more) {
    a.push_back(more);
    return a;
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {1, &kMtu, kAdapter, "IPMTU", 'S', 'S', "", Plus(AdapterNdi("IPMTU"), "#|IPMTU")},
        {2, &kWindow, kMstcp, "DefaultRcvWindow", 'D', 'S', "TcpWindowSize",
         {kMstcp + "|DefaultRcvWindow", kMstcpPar + "|DefaultRcvWindow"}},
        {3, &kMtu, kAdapter, "MaxMTU", 'S', 'S', "", {"@|MaxMTU", "#|MaxMTU"}},
        {4, &kMss, kAdapter, "MSS", 'S', 'S', "", {"@|MSS", "#|MSS", kMstcp + "|DefaultMSS"}},
        {5, &kSwitch, kForceeven, "default", 'S', 'S', "", {kForceeven + "|default", kForceeven + "|"}},
        {6, &kSwitch, kAdapter, "PointToPointIP", 'S', 'S', "", AdapterNdi("PointToPointIP")},
        {7, &kSwitch, kAdapter, "IPXHeaderCompression", 'S', 'S', "", AdapterNdi("IPXHeaderCompression")},
        {8, &kSwitch, kMstcpPar, "MaxDupAcks", 'D', 'S', "TcpMaxDupAcks", {kMstcpPar + "|MaxDupAcks"}},
        {9, &kSwitch, kMstcp, "Tcp1323Opts", 'D', 'S', "Tcp1323Opts",
         {kMstcp + "|Tcp1323Opts", kMstcpPar + "|Tcp1323Opts"}},
        {10, &kSwitch, kMstcp, "SackOpts", 'D', 'S', "SackOpts", {kMstcp + "|SackOpts", kMstcpPar + "|SackOpts"}},
        {11, &kTtl, kMstcp, "DefaultTTL", 'S', 'S', "DefaultTTL", {kMstcp + "|DefaultTTL"}},
        {12, &kSwitch, kMstcp, "PMTUDiscovery", 'D', 'S', "EnablePMTUDiscovery", {kMstcp + "|PMTUDiscovery"}},
        {13, &kSwitch, kMstcp, "PMTUBlackHoleDetect", 'D', 'S', "EnablePMTUBHDetect",
         {kMstcp + "|PMTUBlackHoleDetect"}},
        {14, &kSwitch, kMstcp, "PMTUAutoDetection", 'D', 'S', "", {kMstcp + "|PMTUAutoDetection"}},
        {15, &kSwitch, kMstcp, "PMTUBlackHoleEnabled", 'D', 'S', "", {kMstcp + "|PMTUBlackHoleEnabled"}},
        {16, &kKeepAlive, kMstcp, "SessionKeepAlive", 'S', 'S', "SessionKeepAlive", {kMstcp + "|SessionKeepAlive"}},
        {17, &kSwitch, kAdapter, "Logging", 'S', 'S', "", AdapterNdi("Logging")},
        {18, &kSwitch, kAdapter, "SLOWNET", 'B', 'B', "", {"@|SLOWNET", "#|SLOWNET"}},
        {19, &kNw, kNwlink, "cachesize", 'S', 'S', "",
         {kNwlink + "|cachesize", kCache + "|", kCache + "|default", kCache + "|0", kCache + "|1",
          kCache + "|NdiValue"}},
        {20, &kNw, kNwlink, "cachesize", 'S', 'S', "",
         {kNwlink + "|cachesize", kCache + "|", kCache + "|default", kCache + "|0", kCache + "|1",
          kCache + "|NdiValue"}},
        {21, &kNw, kMaxconnect, "min", 'S', 'S', "", {kMaxconnect + "|min"}},
        {22, &kNw, kMaxconnect, "max", 'S', 'S', "", {kMaxconnect + "|max"}},
        {23, &kNw, kMaxsockets, "max", 'S', 'S', "", {kMaxsockets + "|max"}},
        {24, &kNw, kMaxsockets, "min", 'S', 'S', "", {kMaxsockets + "|min"}},
        {25, &kNw, kMaxconnect, "default", 'S', 'S', "", {kMaxconnect + "|default", kMaxconnect + "|"}},
        {26, &kNw, kMaxsockets, "default", 'S', 'S', "", {kMaxsockets + "|default", kMaxsockets + "|"}},
        {27, &kNb, kSessions, "default", 'S', 'S', "", {kSessions + "|default"}},
        {28, &kNb, kSessions, "min", 'S', 'S', "", {kSessions + "|min"}},
        {29, &kNb, kSessions, "max", 'S', 'S', "", {kSessions + "|max"}},
        {30, &kNb, kNcbs, "default", 'S', 'S', "", {kNcbs + "|default"}},
        {31, &kNb, kNcbs, "max", 'S', 'S', "", {kNcbs + "|max"}},
        {32, &kNb, kNcbs, "min", 'S', 'S', "", {kNcbs + "|min"}},
        {33, &kNb, kNetbeui, "default", 'S', 'S', "", {kNetbeui + "|default"}},
        {34, &kNb, kNetbeui, "ncbs", 'S', 'S', "", {kNetbeui + "|ncbs"}},
        {35, &kNb, kNetbeui, "sessions", 'S', 'S', "", {kNetbeui + "|sessions"}},
    };
    return rows;
}

std::string Resolve(const std::string& key) {
    if (key == kAdapter) return kAdapterKey;
    if (key.rfind("@", 0) == 0) return kAdapterKey + key.substr(1);
    if (key == kBinding) return kBindingKey;
    return key;
}

RegValue Expected(char form, std::uint32_t n) {
    switch (form) {
        case 'D': return Dw(n);
        case 'B': return Bin({std::uint8_t(n)});
        default: return Sz(std::to_string(n));
    }
}

CustomSelections Only(int combo, int item) {
    CustomSelections s = NoSelections();
    s[static_cast<std::size_t>(combo - 1)] = item;
    return s;
}

std::string What(const Row& row, const char* family, int item) {
    return std::string(family) + " Combo" + std::to_string(row.combo) + " item " + std::to_string(item);
}

TEST(CustomEditors, OfferTheirListsInOrder) {
    ASSERT_EQ(CustomEditors().size(), 35u);
    for (const auto& row : Rows()) {
        const auto& editor = CustomEditorFor(row.combo);
        EXPECT_EQ(editor.combo, row.combo);
        EXPECT_EQ(ListData(editor.list).items, row.list->items) << "Combo" << row.combo;
    }
}

TEST(CustomEditors, EveryItemWritesItsValueInTheFormOfEachSet) {
    const std::pair<WindowsFamily, const char*> families[] = {
        {WindowsFamily::Win95, "95"}, {WindowsFamily::WinMe, "Me"}, {WindowsFamily::Win98, "98"}};
    for (const auto& row : Rows()) {
        for (const auto& [family, name] : families) {
            const char form = family == WindowsFamily::Win98 ? row.win98 : row.win95;
            for (std::size_t k = 1; k <= row.list->values.size(); ++k) {
                MemoryRegistry reg;
                ApplyCustom(reg, family, Only(row.combo, int(k)), kCard, kOneAdapter);
                EXPECT_EQ(reg.Get(kHkeyLocalMachine, Resolve(row.key), row.value),
                          Expected(form, row.list->values[k - 1]))
                    << What(row, name, int(k));
            }
        }
    }
}

TEST(CustomEditors, OnNtOnlyTheEightWithAnNtEntryWriteANumber) {
    for (const auto& row : Rows()) {
        for (std::size_t k = 1; k <= row.list->values.size(); ++k) {
            for (auto family : {WindowsFamily::WinNT, WindowsFamily::Win2K, WindowsFamily::WinXP}) {
                MemoryRegistry reg, expected;
                ApplyCustom(reg, family, Only(row.combo, int(k)), kAllSlots, {});
                if (!row.ntValue.empty()) {
                    Seed(expected, kHkeyLocalMachine, kTcpip, row.ntValue, Dw(row.list->values[k - 1]));
                }
                EXPECT_EQ(reg.Dump(), expected.Dump()) << What(row, "NT", int(k)) << " family " << int(family);
            }
        }
    }
}

// The deletions of a "Default", as "key|value" with the adapter keys written as "@" and "#".
std::vector<std::string> DefaultDeletions(WindowsFamily family, int combo, const AdapterChoice& choice,
                                          RecordingRegistry& reg) {
    // Every item 1 first, so that each key and value to delete exists.
    CustomSelections all = NoSelections();
    all.fill(1);
    ApplyCustom(reg, family, all, choice, kOneAdapter);
    reg.log.clear();
    ApplyCustom(reg, family, Only(combo, 0), choice, kOneAdapter);
    std::vector<std::string> out;
    for (std::string line : reg.Deletions()) {
        line = line.substr(std::string("D|HKLM|").size());
        if (line.rfind(kAdapterKey, 0) == 0) line = "@" + line.substr(kAdapterKey.size());
        if (line.rfind(kBindingKey, 0) == 0) line = "#" + line.substr(kBindingKey.size());
        out.push_back(line);
    }
    return out;
}

TEST(CustomEditors, DefaultDeletesExactlyItsListedValuesInOrder) {
    for (const auto& row : Rows()) {
        for (auto family : {WindowsFamily::Win95, WindowsFamily::Win98, WindowsFamily::WinMe}) {
            RecordingRegistry reg;
            EXPECT_EQ(DefaultDeletions(family, row.combo, kCard, reg), row.defaults)
                << "Combo" << row.combo << " family " << int(family);
            // The value the editor writes is gone.
            EXPECT_FALSE(reg.Get(kHkeyLocalMachine, Resolve(row.key), row.value)) << "Combo" << row.combo;
        }
    }
}

TEST(CustomEditors, DefaultOnNtDeletesTheOneTcpipValue) {
    for (const auto& row : Rows()) {
        RecordingRegistry reg;
        if (!row.ntValue.empty()) Seed(reg, kHkeyLocalMachine, kTcpip, row.ntValue, Dw(7));
        reg.log.clear();
        ApplyCustom(reg, WindowsFamily::WinXP, Only(row.combo, 0), kAllSlots, {});
        std::vector<std::string> expected;
        if (!row.ntValue.empty()) expected.push_back("D|HKLM|" + kTcpip + "|" + row.ntValue);
        EXPECT_EQ(reg.log, expected) << "Combo" << row.combo;
    }
}

TEST(CustomApply, NothingSelectedChangesNothingOnAnyFamily) {
    for (auto family : {WindowsFamily::Win95, WindowsFamily::Win98, WindowsFamily::WinMe, WindowsFamily::WinNT,
                        WindowsFamily::Win2K, WindowsFamily::WinXP, WindowsFamily::Unknown}) {
        RecordingRegistry reg;
        Seed(reg, kHkeyLocalMachine, kMstcp, "DefaultTTL", Sz("128"));
        Seed(reg, kHkeyLocalMachine, kTcpip, "DefaultTTL", Dw(128));
        Seed(reg, kHkeyLocalMachine, kAdapterKey, "IPMTU", Sz("1500"));
        const std::string before = reg.Dump();
        reg.log.clear();
        EXPECT_EQ(ApplyCustom(reg, family, NoSelections(), kAllSlots, kOneAdapter), 0u);
        EXPECT_EQ(reg.Dump(), before) << "family " << int(family);
        EXPECT_TRUE(reg.log.empty()) << "family " << int(family);
    }
}

TEST(CustomApply, UnknownFamilyWritesNothingWhateverIsSelected) {
    MemoryRegistry reg;
    CustomSelections all = NoSelections();
    all.fill(1);
    ApplyCustom(reg, WindowsFamily::Unknown, all, kAllSlots, kOneAdapter);
    EXPECT_EQ(reg.Dump(), MemoryRegistry().Dump());
    EXPECT_EQ(CustomRoutineFor(WindowsFamily::Unknown), CustomRoutine::None);
}

TEST(CustomApply, FamilyPicksItsRoutineMeBefore98) {
    EXPECT_EQ(CustomRoutineFor(WindowsFamily::WinXP), CustomRoutine::Nt);
    EXPECT_EQ(CustomRoutineFor(WindowsFamily::Win2K), CustomRoutine::Nt);
    EXPECT_EQ(CustomRoutineFor(WindowsFamily::WinNT), CustomRoutine::Nt);
    EXPECT_EQ(CustomRoutineFor(WindowsFamily::WinMe), CustomRoutine::Win95);
    EXPECT_EQ(CustomRoutineFor(WindowsFamily::Win98), CustomRoutine::Win98);
    EXPECT_EQ(CustomRoutineFor(WindowsFamily::Win95), CustomRoutine::Win95);
}

TEST(CustomApply, Win98DefaultAdapterWritesIpmtuToElevenSlotsInOrder) {
    RecordingRegistry reg;
    ApplyCustom(reg, WindowsFamily::Win98, Only(1, 4), kAllSlots, kOneAdapter);
    std::vector<std::string> expected;
    for (int slot = 0; slot <= 10; ++slot) {
        const std::string name = slot < 10 ? "000" + std::to_string(slot) : "0010";
        expected.push_back("W|HKLM|" + kNet + name + "|IPMTU");
        expected.push_back("W|HKLM|" + kNet + name + "\\Ndi\\Params\\IPMTU|default");
        expected.push_back("W|HKLM|" + kClass + "NetTrans\\" + name + "|IPMTU");
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kNet + name, "IPMTU"), Sz("1500")) << name;
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kClass + "NetTrans\\" + name, "IPMTU"), Sz("1500")) << name;
    }
    EXPECT_EQ(reg.log, expected);
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, kAdapterKey)) << "the discovered adapter is no slot";
}

TEST(CustomApply, Win95SpecificAdapterDefaultDeletesTheFourValuesOfThatAdapterOnly) {
    RecordingRegistry reg;
    for (const auto& key : {kAdapterKey, kNet + "0000"}) {
        Seed(reg, kHkeyLocalMachine, key, "IPMTU", Sz("1500"));
        Seed(reg, kHkeyLocalMachine, key + "\\Ndi\\Params\\IPMTU", "", Sz("x"));
        Seed(reg, kHkeyLocalMachine, key + "\\Ndi\\Params\\IPMTU", "default", Sz("1500"));
    }
    Seed(reg, kHkeyLocalMachine, kBindingKey, "IPMTU", Sz("1500"));
    reg.log.clear();
    ApplyCustom(reg, WindowsFamily::Win95, Only(1, 0), kCard, kOneAdapter);
    const std::vector<std::string> expected = {
        "D|HKLM|" + kAdapterKey + "|IPMTU",
        "D|HKLM|" + kAdapterKey + "\\Ndi\\Params\\IPMTU|",
        "D|HKLM|" + kAdapterKey + "\\Ndi\\Params\\IPMTU|default",
        "D|HKLM|" + kBindingKey + "|IPMTU",
    };
    EXPECT_EQ(reg.log, expected);
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kNet + "0000", "IPMTU"), Sz("1500")) << "slot 0000 is left alone";
}

TEST(CustomApply, DefaultAdapterDeletesEverythingOfOneSlotBeforeTheNext) {
    RecordingRegistry reg;
    CustomSelections all = NoSelections();
    all[3] = 1;
    ApplyCustom(reg, WindowsFamily::Win95, all, kAllSlots, kOneAdapter);  // creates the keys
    reg.log.clear();
    ApplyCustom(reg, WindowsFamily::Win95, Only(4, 0), kAllSlots, kOneAdapter);
    std::vector<std::string> expected;
    for (const auto& slot : SlotTable()) {
        expected.push_back("D|HKLM|" + kNet + slot.adapterKey + "|MSS");
        expected.push_back("D|HKLM|" + kClass + slot.bindingKey + "|MSS");
        expected.push_back("D|HKLM|" + kMstcp + "|DefaultMSS");
    }
    EXPECT_EQ(reg.log, expected);
}

TEST(CustomApply, AllElevenSlotsOfOneEditorBeforeTheNextEditor) {
    RecordingRegistry reg;
    CustomSelections s = NoSelections();
    s[0] = 1;  // Combo1, adapter + binding
    s[2] = 1;  // Combo3
    s[5] = 1;  // Combo6, adapter only
    ApplyCustom(reg, WindowsFamily::Win98, s, kAllSlots, kOneAdapter);
    std::vector<std::string> values;
    for (const auto& line : reg.log) values.push_back(line.substr(line.rfind('|') + 1));
    // 11 × (IPMTU, default, IPMTU), then 11 × (MaxMTU, MaxMTU), then 11 × (PointToPointIP, default).
    ASSERT_EQ(values.size(), 33u + 22u + 22u);
    EXPECT_TRUE(std::all_of(values.begin(), values.begin() + 33, [](auto& v) { return v == "IPMTU" || v == "default"; }));
    EXPECT_TRUE(std::all_of(values.begin() + 33, values.begin() + 55, [](auto& v) { return v == "MaxMTU"; }));
    EXPECT_TRUE(std::all_of(values.begin() + 55, values.end(),
                            [](auto& v) { return v == "PointToPointIP" || v == "default"; }));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kNet + "0010\\Ndi\\Params\\PointToPointIP", "default"), Sz("1"));
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, kClass + "NetTrans\\0010\\Ndi")) << "adapter-only scope";
}

TEST(CustomApply, NinexEditorsGoInComboOrder) {
    RecordingRegistry reg;
    CustomSelections all = NoSelections();
    all.fill(1);
    ApplyCustom(reg, WindowsFamily::Win95, all, kCard, kOneAdapter);
    // The first write of each editor's main location, which no earlier editor touches.
    std::size_t last = 0;
    for (const auto& row : Rows()) {
        if (row.combo == 20) continue;  // same entry as Combo19
        const std::string line = "W|HKLM|" + Resolve(row.key) + "|" + row.value;
        std::size_t at = std::find(reg.log.begin() + std::ptrdiff_t(last), reg.log.end(), line) - reg.log.begin();
        ASSERT_LT(at, reg.log.size()) << "Combo" << row.combo << " not written after the editor before it";
        last = at;
    }
}

TEST(CustomApply, MeWritesTheReceiveWindowAsANumberAnd98AsText) {
    MemoryRegistry me, w98;
    ApplyCustom(me, WindowsFamily::WinMe, Only(2, 1), kCard, kOneAdapter);
    ApplyCustom(w98, WindowsFamily::Win98, Only(2, 1), kCard, kOneAdapter);
    EXPECT_EQ(me.Get(kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"), Dw(8576));
    EXPECT_EQ(me.Get(kHkeyLocalMachine, kMstcpPar, "DefaultRcvWindow"), Dw(8576));
    EXPECT_EQ(w98.Get(kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"), Sz("8576"));
    EXPECT_EQ(w98.Get(kHkeyLocalMachine, kMstcpPar, "DefaultRcvWindow"), Sz("8576"));
}

TEST(CustomApply, Ttl256IsWrittenUnclamped) {
    for (auto family : {WindowsFamily::Win95, WindowsFamily::Win98, WindowsFamily::WinMe}) {
        MemoryRegistry reg;
        ApplyCustom(reg, family, Only(11, 7), kCard, kOneAdapter);
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kMstcp, "DefaultTTL"), Sz("256")) << int(family);
    }
    MemoryRegistry nt;
    ApplyCustom(nt, WindowsFamily::WinNT, Only(11, 7), kAllSlots, {});
    EXPECT_EQ(nt.Get(kHkeyLocalMachine, kTcpip, "DefaultTTL"), Dw(256));
}

TEST(CustomApply, KeepAliveMinutesBecomeMilliseconds) {
    const std::pair<int, std::uint32_t> cases[] = {{4, 1800000}, {7, 3600000}};  // 30 and 60 minutes
    for (const auto& [item, ms] : cases) {
        for (auto family : {WindowsFamily::Win95, WindowsFamily::Win98, WindowsFamily::WinMe}) {
            MemoryRegistry reg;
            ApplyCustom(reg, family, Only(16, item), kCard, kOneAdapter);
            EXPECT_EQ(reg.Get(kHkeyLocalMachine, kMstcp, "SessionKeepAlive"), Sz(std::to_string(ms)))
                << "item " << item << " family " << int(family);
        }
        for (auto family : {WindowsFamily::WinNT, WindowsFamily::Win2K, WindowsFamily::WinXP}) {
            MemoryRegistry reg;
            ApplyCustom(reg, family, Only(16, item), kAllSlots, {});
            EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "SessionKeepAlive"), Dw(ms))
                << "item " << item << " family " << int(family);
        }
    }
}

TEST(CustomApply, XpWithAllEditorsSetTouchesOnlyTheEightInOrder) {
    const std::vector<std::string> eight = {"TcpWindowSize", "TcpMaxDupAcks",       "Tcp1323Opts",
                                            "SackOpts",      "DefaultTTL",          "EnablePMTUDiscovery",
                                            "EnablePMTUBHDetect", "SessionKeepAlive"};
    for (int item : {1, 0}) {
        RecordingRegistry reg;
        for (const auto& v : eight) Seed(reg, kHkeyLocalMachine, kTcpip, v, Dw(9));
        reg.log.clear();
        CustomSelections all = NoSelections();
        all.fill(item);
        ApplyCustom(reg, WindowsFamily::WinXP, all, kAllSlots, kOneAdapter);
        std::vector<std::string> expected;
        for (const auto& v : eight) expected.push_back(std::string(item ? "W" : "D") + "|HKLM|" + kTcpip + "|" + v);
        EXPECT_EQ(reg.log, expected) << "item " << item;
    }
    // "On" where the list is a switch, the first number otherwise.
    MemoryRegistry reg;
    CustomSelections all = NoSelections();
    all.fill(1);
    ApplyCustom(reg, WindowsFamily::WinXP, all, kAllSlots, kOneAdapter);
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "TcpWindowSize"), Dw(8576));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "DefaultTTL"), Dw(4));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "SessionKeepAlive"), Dw(300000));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "SackOpts"), Dw(1));
}

TEST(CustomApply, Win2000DefaultTtlDeletesDefaultTtl) {
    MemoryRegistry reg;
    Seed(reg, kHkeyLocalMachine, kTcpip, "DefaultTTL", Dw(128));
    Seed(reg, kHkeyLocalMachine, kTcpip, "TcpWindowSize", Dw(8576));
    ApplyCustom(reg, WindowsFamily::Win2K, Only(11, 0), kAllSlots, {});
    EXPECT_FALSE(reg.Get(kHkeyLocalMachine, kTcpip, "DefaultTTL"));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "TcpWindowSize"), Dw(8576));
}

TEST(CustomApply, BothCacheSizeEditorsLeaveTheSecondOnesValue) {
    RecordingRegistry reg;
    CustomSelections s = NoSelections();
    s[18] = 8;  // Combo19: 128
    s[19] = 2;  // Combo20: 4
    ApplyCustom(reg, WindowsFamily::Win98, s, kCard, kOneAdapter);
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kNwlink, "cachesize"), Sz("4"));
    for (const char* v : {"default", "0", "1", "NdiValue"}) {
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kCache, v), Sz("4")) << v;
    }
    // Written twice, the second time last.
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < reg.log.size(); ++i) {
        if (reg.log[i] == "W|HKLM|" + kNwlink + "|cachesize") at.push_back(i);
    }
    ASSERT_EQ(at.size(), 2u);
    EXPECT_EQ(reg.log.size(), 10u);
    EXPECT_EQ(at[1], 5u);
}

TEST(CustomApply, CacheSizeDefaultDeletesTheValueAndFiveParameterValues) {
    MemoryRegistry reg;
    Seed(reg, kHkeyLocalMachine, kNwlink, "cachesize", Sz("64"));
    for (const char* v : {"", "default", "0", "1", "NdiValue", "max"}) Seed(reg, kHkeyLocalMachine, kCache, v, Sz("64"));
    ApplyCustom(reg, WindowsFamily::Win95, Only(19, 0), kCard, kOneAdapter);
    EXPECT_FALSE(reg.Get(kHkeyLocalMachine, kNwlink, "cachesize"));
    for (const char* v : {"", "default", "0", "1", "NdiValue"}) {
        EXPECT_FALSE(reg.Get(kHkeyLocalMachine, kCache, v)) << "\"" << v << "\"";
    }
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kCache, "max"), Sz("64")) << "not one of the five";
}

TEST(CustomApply, SlownetIsAOneByteArrayWithItsNumberInTheBinding) {
    MemoryRegistry reg;
    ApplyCustom(reg, WindowsFamily::Win98, Only(18, 2), kCard, kOneAdapter);
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kAdapterKey, "SLOWNET"), Bin({0}));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kBindingKey, "SLOWNET"), Dw(0));
    ApplyCustom(reg, WindowsFamily::Win95, Only(18, 1), kCard, kOneAdapter);
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kAdapterKey, "SLOWNET"), Bin({1}));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kBindingKey, "SLOWNET"), Dw(1));
}

TEST(CustomApply, AnItemWithoutAdapterSkipsOnlyTheAdapterEditors) {
    RecordingRegistry reg;
    CustomSelections s = NoSelections();
    s[0] = 4;   // Combo1, adapter
    s[1] = 1;   // Combo2
    s[3] = 0;   // Combo4 "Default": per adapter, including DefaultMSS
    s[17] = 1;  // Combo18, adapter
    s[33] = 3;  // Combo34
    Seed(reg, kHkeyLocalMachine, kMstcp, "DefaultMSS", Sz("1460"));
    reg.log.clear();
    ApplyCustom(reg, WindowsFamily::Win95, s, AdapterChoice{"Network Card", 1}, kOneAdapter);
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Class"));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kMstcp, "DefaultMSS"), Sz("1460")) << "Combo4 is adapter-level";
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"), Dw(8576));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kNetbeui, "ncbs"), Sz("16"));
    EXPECT_EQ(reg.log.size(), 3u);
}

TEST(CustomApply, ARefusingRegistryCountsEveryFailedChange) {
    MemoryRegistry reg;
    Seed(reg, kHkeyLocalMachine, kMstcp, "DefaultTTL", Sz("64"));
    reg.SetReadOnly(true);
    // Combo2 writes two values, Combo11 "Default" deletes one present value, Combo33 "Default" finds
    // no NETBEUI key (nothing to delete is no failure).
    CustomSelections s = NoSelections();
    s[1] = 1;
    s[10] = 0;
    s[32] = 0;
    EXPECT_EQ(ApplyCustom(reg, WindowsFamily::Win95, s, kCard, kOneAdapter), 3u);
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kMstcp, "DefaultTTL"), Sz("64"));
    // The count is of this Apply alone.
    reg.SetReadOnly(false);
    EXPECT_EQ(ApplyCustom(reg, WindowsFamily::Win95, s, kCard, kOneAdapter), 0u);
}

TEST(CustomApply, SelectionsOutsideTheListDoNothing) {
    MemoryRegistry reg;
    CustomSelections s = NoSelections();
    s[4] = 3;   // switch list has two value items
    s[10] = 8;  // TTL list has seven
    s[0] = -2;
    ApplyCustom(reg, WindowsFamily::Win98, s, kCard, kOneAdapter);
    ApplyCustom(reg, WindowsFamily::WinXP, s, kAllSlots, {});
    EXPECT_EQ(reg.Dump(), MemoryRegistry().Dump());
}

TEST(ApplyProgress, StepsByFiveEndsOnTheTwentyFirstTickAndRefusesASecondStart) {
    ApplyProgressRun run;
    EXPECT_FALSE(run.Running());
    ASSERT_TRUE(run.Start(2));
    EXPECT_FALSE(run.Start(0)) << "an Apply during the run is ignored";
    EXPECT_EQ(run.FailedChanges(), 2u);
    for (int tick = 1; tick <= 20; ++tick) {
        const auto t = run.OnTick();
        EXPECT_EQ(t.barValue, tick * 5) << "tick " << tick;
        EXPECT_FALSE(t.finished) << "tick " << tick;
        EXPECT_EQ(run.Counter(), tick * 5);
    }
    const auto last = run.OnTick();
    EXPECT_TRUE(last.finished);
    EXPECT_EQ(last.barValue, 0);
    EXPECT_EQ(run.Counter(), 0);
    EXPECT_FALSE(run.Running());
    EXPECT_FALSE(run.OnTick().finished) << "a stray tick after the end";
    EXPECT_TRUE(run.Start(0));
    EXPECT_EQ(run.FailedChanges(), 0u);
}

TEST(ApplyProgress, EndShowsTheFailedChangesMessageOnlyAfterFailures) {
    EXPECT_EQ(EndOfApplyRunMessage(0), "");
    const std::string one = EndOfApplyRunMessage(1);
    const std::string many = EndOfApplyRunMessage(12);
    EXPECT_EQ(one, FailedChangesMessage(1)) << "the same message as after Optimize";
    EXPECT_EQ(many.rfind("12 settings could not be changed.", 0), 0u) << many;
    EXPECT_NE(many.find("administrator"), std::string::npos) << many;
}

TEST(CustomTabs, CaptionsKeepTheirBlanksAndEachTabShowsOneFrame) {
    const std::pair<std::string, std::string> tabs[] = {{"       Genaral       ", "General"},
                                                        {"       TCP/IP       ", "TCP/IP"},
                                                        {"        NWLink        ", "NWlink"},
                                                        {"      NetBEUI      ", "NetBeui"}};
    for (int tab = 1; tab <= 4; ++tab) {
        const auto& [caption, frame] = tabs[tab - 1];
        EXPECT_EQ(kCustomTabCaptions[std::size_t(tab - 1)], caption) << "tab " << tab;
        EXPECT_EQ(kCustomFrameCaptions[std::size_t(tab - 1)], frame) << "tab " << tab;
        const auto visible = CustomFrameVisibility(CustomFrameOfTab(tab));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(visible[std::size_t(i)], i == tab - 1) << "tab " << tab << " frame " << i;
    }
    for (int outside : {-1, 4, 32767}) {
        const auto visible = CustomFrameVisibility(outside);
        EXPECT_TRUE(std::none_of(visible.begin(), visible.end(), [](bool v) { return v; })) << outside;
    }
}

TEST(CustomTabs, CtrlTabGoesRoundInBothDirections) {
    EXPECT_EQ(AdjacentCustomTab(0, false), 1);
    EXPECT_EQ(AdjacentCustomTab(3, false), 0);
    EXPECT_EQ(AdjacentCustomTab(0, true), 3);
    EXPECT_EQ(AdjacentCustomTab(2, true), 1);
    EXPECT_EQ(AdjacentCustomTab(-1, false), 0) << "no tab selected";
}

}  // namespace
}  // namespace zv
