// The parameter catalogue: locations, mirrors and kinds, checked as registry state after each write.
#include <gtest/gtest.h>

#include <set>

#include "tuning/catalogue.h"
#include "unit/tuning_support.h"

namespace zv {
namespace {

using namespace zvtest;

const AdapterTarget k0003{"0003", "NetTrans\\0003"};

std::optional<RegValue> Hklm(const MemoryRegistry& reg, const std::string& path, const std::string& name) {
    return reg.Get(kHkeyLocalMachine, path, name);
}

TEST(CatalogueTable, HoldsFortyNineUniqueEntriesInIdOrder) {
    ASSERT_EQ(Catalogue().size(), 49u);
    EXPECT_EQ(EntriesOf(AccessorSet::Win95).size(), 40u);
    EXPECT_EQ(EntriesOf(AccessorSet::Win98).size(), 40u);
    ASSERT_EQ(EntriesOf(AccessorSet::Nt).size(), 9u);
    std::set<std::string> names;
    for (int i = 0; i < kEntryCount; ++i) {
        const auto& e = Catalogue()[i];
        EXPECT_EQ(static_cast<int>(e.id), i) << e.name;
        EXPECT_TRUE(names.insert(e.name).second) << "duplicate " << e.name;
        EXPECT_EQ(FindEntry(e.name), &e) << e.name;
        EXPECT_EQ(e.nt, i >= k9xEntryCount) << e.name;
        EXPECT_FALSE(e.deletionSet.empty()) << e.name;
    }
    ASSERT_NE(FindEntry("Tcpip.Tcp1323Opts"), nullptr);
    EXPECT_EQ(FindEntry("Tcpip.Nothing"), nullptr);
}

TEST(CatalogueTable, TheTwelveEitherEntriesAreNumbersForWin95AndTextForWin98) {
    const std::set<std::string> either = {
        "MSTCP.BSDUrgent", "MSTCP.DefaultRcvWindow", "MSTCP.PMTUAutoDetection", "MSTCP.PMTUBlackHoleDetect",
        "MSTCP.PMTUBlackHoleEnabled", "MSTCP.PMTUDiscovery", "MSTCP.SackOpts", "MSTCP.Tcp1323Opts",
        "MSTCP.TcpUseRFC1122UrgentPointer", "MSTCP.MaxDupAcks", "Internet.MaxConnectionsPerServer",
        "Internet.MaxConnectionsPer1_0Server"};
    for (const auto& e : EntriesOf(AccessorSet::Win95)) {
        const bool isEither = either.count(e.name) > 0;
        const ValueKind fixed = e.name == "Adapter.SLOWNET" ? ValueKind::Binary : ValueKind::Text;
        EXPECT_EQ(KindIn(e, AccessorSet::Win95), isEither ? ValueKind::Dword : fixed) << e.name;
        EXPECT_EQ(KindIn(e, AccessorSet::Win98), fixed) << e.name;
        EXPECT_TRUE(InSet(e, AccessorSet::Win95) && InSet(e, AccessorSet::Win98) && !InSet(e, AccessorSet::Nt));
    }
    for (const auto& e : EntriesOf(AccessorSet::Nt)) {
        EXPECT_EQ(KindIn(e, AccessorSet::Nt), ValueKind::Dword) << e.name;
        EXPECT_EQ(e.main.path, kTcpip) << e.name;
        EXPECT_TRUE(e.mirrors.empty()) << e.name;
    }
}

TEST(CatalogueSets, ChosenByFamilyWithMeSplitBetweenOptimizerAndBackup) {
    struct Row { WindowsFamily family; std::optional<AccessorSet> optimizer, backup; };
    const Row rows[] = {
        {WindowsFamily::Win95, AccessorSet::Win95, AccessorSet::Win95},
        {WindowsFamily::Win98, AccessorSet::Win98, AccessorSet::Win98},
        {WindowsFamily::WinMe, AccessorSet::Win95, AccessorSet::Win98},
        {WindowsFamily::WinNT, AccessorSet::Nt, AccessorSet::Nt},
        {WindowsFamily::Win2K, AccessorSet::Nt, AccessorSet::Nt},
        {WindowsFamily::WinXP, AccessorSet::Nt, AccessorSet::Nt},
        {WindowsFamily::Unknown, std::nullopt, std::nullopt},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(OptimizerAccessorSet(r.family), r.optimizer) << int(r.family);
        EXPECT_EQ(BackupAccessorSet(r.family), r.backup) << int(r.family);
    }
}

TEST(CatalogueWriters, IpmtuSetsAdapterNdiAndBindingCreatingKeys) {
    MemoryRegistry reg;
    WriteEntry(reg, Entry(EntryId::AdapterIPMTU), AccessorSet::Win98, k0003, std::string("1500"));
    EXPECT_EQ(Hklm(reg, kNet + "0003", "IPMTU"), Sz("1500"));
    EXPECT_EQ(Hklm(reg, kNet + "0003\\Ndi\\Params\\IPMTU", "default"), Sz("1500"));
    EXPECT_EQ(Hklm(reg, kClass + "NetTrans\\0003", "IPMTU"), Sz("1500"));
    // Capital P under the adapter, as written.
    EXPECT_NE(reg.Dump().find("\\Class\\Net\\0003\\Ndi\\Params\\IPMTU : \"default\""), std::string::npos);
}

TEST(CatalogueWriters, MssAlsoSetsDefaultMssWhateverTheAdapter) {
    MemoryRegistry reg;
    WriteEntry(reg, Entry(EntryId::AdapterMSS), AccessorSet::Win95, {"0007", "NetTrans\\0009"}, std::string("1460"));
    EXPECT_EQ(Hklm(reg, kNet + "0007", "MSS"), Sz("1460"));
    EXPECT_EQ(Hklm(reg, kClass + "NetTrans\\0009", "MSS"), Sz("1460"));
    EXPECT_EQ(Hklm(reg, kMstcp, "DefaultMSS"), Sz("1460"));
}

TEST(CatalogueWriters, SackOptsTakesTheSetsKindAtBothLocations) {
    MemoryRegistry w95, w98;
    WriteEntry(w95, Entry(EntryId::MstcpSackOpts), AccessorSet::Win95, {}, std::int32_t{1});
    WriteEntry(w98, Entry(EntryId::MstcpSackOpts), AccessorSet::Win98, {}, std::int32_t{1});
    EXPECT_EQ(Hklm(w95, kMstcp, "SackOpts"), Dw(1));
    EXPECT_EQ(Hklm(w95, kMstcpPar, "SackOpts"), Dw(1));
    EXPECT_EQ(Hklm(w98, kMstcp, "SackOpts"), Sz("1"));
    EXPECT_EQ(Hklm(w98, kMstcpPar, "SackOpts"), Sz("1"));
}

TEST(CatalogueWriters, TtlLocalCopyAndKeepAliveAreTextInBothSets) {
    for (auto set : {AccessorSet::Win95, AccessorSet::Win98}) {
        MemoryRegistry reg;
        WriteEntry(reg, Entry(EntryId::MstcpDefaultTTL), set, {}, std::int32_t{128});
        WriteEntry(reg, Entry(EntryId::MstcpLocalCopyMade), set, {}, std::int32_t{1});
        WriteEntry(reg, Entry(EntryId::MstcpSessionKeepAlive), set, {}, std::int32_t{60000});
        EXPECT_EQ(Hklm(reg, kMstcp, "DefaultTTL"), Sz("128")) << int(set);
        EXPECT_EQ(Hklm(reg, kMstcp, "LocalCopyMade"), Sz("1")) << int(set);
        EXPECT_EQ(Hklm(reg, kMstcp, "SessionKeepAlive"), Sz("60000")) << int(set);
    }
}

TEST(CatalogueWriters, SlownetIsBinaryInAdapterAndFirstByteNumberInBinding) {
    MemoryRegistry reg;
    const auto& slownet = Entry(EntryId::AdapterSLOWNET);
    EXPECT_EQ(ReadEntry(reg, slownet, AccessorSet::Win95, k0003), EntryValue(std::int32_t{0})) << "absent";
    WriteEntry(reg, slownet, AccessorSet::Win95, k0003, ByteArray{1, 0, 0, 0});
    EXPECT_EQ(Hklm(reg, kNet + "0003", "SLOWNET"), Bin({1, 0, 0, 0}));
    EXPECT_EQ(Hklm(reg, kClass + "NetTrans\\0003", "SLOWNET"), Dw(1));
    EXPECT_EQ(ReadEntry(reg, slownet, AccessorSet::Win98, k0003), EntryValue(ByteArray{1, 0, 0, 0}));

    // No first byte: nothing is written anywhere.
    MemoryRegistry empty;
    const std::string before = empty.Dump();
    WriteEntry(empty, slownet, AccessorSet::Win95, k0003, ByteArray{});
    EXPECT_EQ(empty.Dump(), before);
}

TEST(CatalogueWriters, CachesizeSetsFourValuesOfItsParameterKey) {
    MemoryRegistry reg;
    WriteEntry(reg, Entry(EntryId::NWLinkCachesize), AccessorSet::Win98, {}, std::string("64"));
    EXPECT_EQ(Hklm(reg, kNwlink, "cachesize"), Sz("64"));
    for (const char* name : {"default", "0", "1", "NdiValue"}) {
        EXPECT_EQ(Hklm(reg, kNwlink + "\\Ndi\\params\\cachesize", name), Sz("64")) << name;
    }
    // Small p under the protocols.
    EXPECT_NE(reg.Dump().find("\\VxD\\NWLink\\Ndi\\params\\cachesize\n"), std::string::npos);
}

TEST(CatalogueWriters, EmptyBindingKeyPutsMirrorsInTheClassKeyItself) {
    MemoryRegistry reg;
    WriteEntry(reg, Entry(EntryId::AdapterMaxMTU), AccessorSet::Win95, {"0000", ""}, std::string("1500"));
    EXPECT_EQ(Hklm(reg, kNet + "0000", "MaxMTU"), Sz("1500"));
    EXPECT_EQ(Hklm(reg, "System\\CurrentControlSet\\Services\\Class", "MaxMTU"), Sz("1500"));
}

TEST(CatalogueWriters, WriteAsKeepsTheGivenKindAtMainAndMirrors) {
    MemoryRegistry reg;
    WriteEntryAs(reg, Entry(EntryId::MstcpDefaultRcvWindow), {}, std::int32_t{8576});
    EXPECT_EQ(Hklm(reg, kMstcp, "DefaultRcvWindow"), Dw(8576));
    EXPECT_EQ(Hklm(reg, kMstcpPar, "DefaultRcvWindow"), Dw(8576));
    WriteEntryAs(reg, Entry(EntryId::MstcpDefaultRcvWindow), {}, std::string("8576"));
    EXPECT_EQ(Hklm(reg, kMstcpPar, "DefaultRcvWindow"), Sz("8576"));
}

TEST(CatalogueWriters, TextThatIsNoNumberWritesNothingToANumberEntry) {
    MemoryRegistry reg;
    WriteEntry(reg, Entry(EntryId::MstcpSackOpts), AccessorSet::Win95, {}, std::string("on"));
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, kMstcp));
    WriteEntry(reg, Entry(EntryId::MstcpSackOpts), AccessorSet::Win95, {}, std::string(" 12 "));
    EXPECT_EQ(Hklm(reg, kMstcp, "SackOpts"), Dw(12));
    EXPECT_EQ(ConvertValue(std::string("2147483648"), ValueKind::Dword), std::nullopt);
    EXPECT_EQ(ConvertValue(std::string("-2147483648"), ValueKind::Dword), EntryValue(std::int32_t(-2147483647 - 1)));
}

TEST(CatalogueReaders, ReadTheirOwnParameterKeyAndNeverMirrors) {
    MemoryRegistry reg;
    const std::string sockets = kNwlink + "\\Ndi\\params\\maxsockets";
    const std::string connect = kNwlink + "\\Ndi\\params\\maxconnect";
    Seed(reg, kHkeyLocalMachine, sockets, "default", Sz("255"));
    Seed(reg, kHkeyLocalMachine, sockets, "max", Sz("1020"));
    Seed(reg, kHkeyLocalMachine, sockets, "min", Sz("32"));
    Seed(reg, kHkeyLocalMachine, connect, "default", Sz("64"));
    Seed(reg, kHkeyLocalMachine, connect, "max", Sz("128"));
    Seed(reg, kHkeyLocalMachine, connect, "min", Sz("2"));
    Seed(reg, kHkeyLocalMachine, kMstcpPar, "SackOpts", Dw(1));  // a mirror only
    const std::pair<EntryId, const char*> cases[] = {
        {EntryId::NWLinkMaxsocketsDefault, "255"}, {EntryId::NWLinkMaxsocketsMax, "1020"},
        {EntryId::NWLinkMaxsocketsMin, "32"},      {EntryId::NWLinkMaxconnectDefault, "64"},
        {EntryId::NWLinkMaxconnectMax, "128"},     {EntryId::NWLinkMaxconnectMin, "2"},
    };
    for (const auto& [id, text] : cases) {
        EXPECT_EQ(ReadEntry(reg, Entry(id), AccessorSet::Win98), EntryValue(std::string(text))) << Entry(id).name;
    }
    EXPECT_EQ(ReadEntry(reg, Entry(EntryId::MstcpSackOpts), AccessorSet::Win95), EntryValue(std::int32_t{0}));
}

TEST(CatalogueReaders, MeNumbersReadAsEmptyThroughTheWin98Reader) {
    MemoryRegistry reg;
    const auto& rcv = Entry(EntryId::MstcpDefaultRcvWindow);
    WriteEntry(reg, rcv, *OptimizerAccessorSet(WindowsFamily::WinMe), {}, std::int32_t{4288});
    EXPECT_EQ(ReadEntry(reg, rcv, *BackupAccessorSet(WindowsFamily::WinMe)), EntryValue(std::string()));
    EXPECT_EQ(ReadEntry(reg, rcv, AccessorSet::Win95), EntryValue(std::int32_t{4288}));
    // And the reverse: Win98 text reads as 0 through the Win95 reader.
    WriteEntry(reg, rcv, AccessorSet::Win98, {}, std::int32_t{4288});
    EXPECT_EQ(ReadEntry(reg, rcv, AccessorSet::Win95), EntryValue(std::int32_t{0}));
}

TEST(CatalogueDeletions, RemoveTheirSetsUnnamedValuesWhereListed) {
    MemoryRegistry reg;
    const std::string cache = kNwlink + "\\Ndi\\params\\cachesize";
    const std::string forceeven = kNwlink + "\\Ndi\\params\\forceeven";
    const std::string ncbs = kNetbeui + "\\Ndi\\params\\ncbs";
    Seed(reg, kHkeyLocalMachine, kNwlink, "cachesize", Sz("64"));
    for (const char* name : {"", "default", "0", "1", "NdiValue"}) Seed(reg, kHkeyLocalMachine, cache, name, Sz("x"));
    for (const char* name : {"", "default"}) Seed(reg, kHkeyLocalMachine, forceeven, name, Sz("1"));
    for (const char* name : {"", "default", "max"}) Seed(reg, kHkeyLocalMachine, ncbs, name, Sz("64"));
    for (const char* name : {"", "default"}) Seed(reg, kHkeyLocalMachine, kNetbeui, name, Sz("32"));

    DeleteEntry(reg, Entry(EntryId::NWLinkCachesize));
    DeleteEntry(reg, Entry(EntryId::NWLinkForceevenDefault));
    DeleteEntry(reg, Entry(EntryId::NetBEUINcbsDefault));
    DeleteEntry(reg, Entry(EntryId::NetBEUIDefault));

    EXPECT_FALSE(Hklm(reg, kNwlink, "cachesize"));
    for (const char* name : {"", "default", "0", "1", "NdiValue"}) EXPECT_FALSE(Hklm(reg, cache, name)) << name;
    EXPECT_FALSE(Hklm(reg, forceeven, ""));
    EXPECT_FALSE(Hklm(reg, ncbs, ""));
    EXPECT_EQ(Hklm(reg, ncbs, "max"), Sz("64"));
    EXPECT_FALSE(Hklm(reg, kNetbeui, "default"));
    EXPECT_EQ(Hklm(reg, kNetbeui, ""), Sz("32")) << "the NETBEUI key's unnamed value is no parameter default";
}

TEST(CatalogueDeletions, InternetEntriesGoUnderTheUserAndTheMachine) {
    MemoryRegistry reg;
    for (RegKey root : {kHkeyCurrentUser, kHkeyLocalMachine}) {
        Seed(reg, root, kInternet, "MaxConnectionsPerServer", Dw(8));
        Seed(reg, root, kInternet, "MaxConnectionsPer1_0Server", Dw(16));
    }
    DeleteEntry(reg, Entry(EntryId::InternetMaxConnectionsPerServer));
    EXPECT_FALSE(reg.Get(kHkeyCurrentUser, kInternet, "MaxConnectionsPerServer"));
    EXPECT_FALSE(reg.Get(kHkeyLocalMachine, kInternet, "MaxConnectionsPerServer"));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kInternet, "MaxConnectionsPer1_0Server"), Dw(16));
}

TEST(CatalogueDeletions, AdapterSetsFollowTheTarget) {
    MemoryRegistry reg;
    WriteEntry(reg, Entry(EntryId::AdapterMSS), AccessorSet::Win98, k0003, std::string("536"));
    WriteEntry(reg, Entry(EntryId::AdapterMSS), AccessorSet::Win98, {"0004", "NetTrans\\0004"}, std::string("536"));
    DeleteEntry(reg, Entry(EntryId::AdapterMSS), k0003);
    EXPECT_FALSE(Hklm(reg, kNet + "0003", "MSS"));
    EXPECT_FALSE(Hklm(reg, kClass + "NetTrans\\0003", "MSS"));
    EXPECT_FALSE(Hklm(reg, kMstcp, "DefaultMSS"));
    EXPECT_EQ(Hklm(reg, kNet + "0004", "MSS"), Sz("536"));
}

}  // namespace
}  // namespace zv
