// One contract for the registry helpers: natively against the in-memory registry, under Wine also
// against advapi32. Where the two disagree, the in-memory registry is wrong.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/memory_registry.h"
#include "platform/registry_helpers.h"
#include "writerun/overlay_registry.h"

#ifdef _WIN32
#include <windows.h>
#include <shlwapi.h>

#include "platform/win32/advapi_registry.h"
#endif

namespace zv {
namespace {

const std::string kBase = "Software\\ZarveloTest\\Contract";

struct Backend {
    std::string name;
    std::function<std::unique_ptr<Registry>()> make;
};

// An overlay over a base of its own: it must answer as its base would after the same changes.
struct BaseHolder {
    std::unique_ptr<Registry> base;
};
class OwningOverlay : private BaseHolder, public OverlayRegistry {
public:
    explicit OwningOverlay(std::unique_ptr<Registry> base)
        : BaseHolder{std::move(base)}, OverlayRegistry(*this->base) {}
};

std::vector<Backend> Backends() {
    std::vector<Backend> list = {{"memory", [] { return std::make_unique<MemoryRegistry>(); }}};
    list.push_back({"overlay", [] { return std::make_unique<OwningOverlay>(std::make_unique<MemoryRegistry>()); }});
    // The base holds the test's key and a neighbour, so the overlay mixes the base's keys with its own.
    list.push_back({"overlay_on_keys", [] {
                        auto base = std::make_unique<MemoryRegistry>();
                        WriteRegString(*base, kHkeyCurrentUser, "Software\\ZarveloTest\\Other", "v", "1");
                        RegKey key = 0;
                        base->CreateKey(kHkeyCurrentUser, kBase, &key);
                        base->CloseKey(key);
                        return std::make_unique<OwningOverlay>(std::move(base));
                    }});
#ifdef _WIN32
    list.push_back({"advapi32", [] { return std::make_unique<AdvapiRegistry>(); }});
    list.push_back(
        {"overlay_advapi32", [] { return std::make_unique<OwningOverlay>(std::make_unique<AdvapiRegistry>()); }});
#endif
    return list;
}

// What is stored, read through the interface itself so that both backends are looked at alike.
struct Raw {
    bool present = false;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

class RegistryContract : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        reg_ = GetParam().make();
        Wipe();
    }
    void TearDown() override { Wipe(); }

    void Wipe() {
#ifdef _WIN32
        if (GetParam().name == "advapi32") SHDeleteKeyA(HKEY_CURRENT_USER, kBase.c_str());
#endif
    }

    Registry& reg() { return *reg_; }
    static std::string Path(const std::string& sub) { return sub.empty() ? kBase : kBase + "\\" + sub; }

    Raw Read(const std::string& sub, const std::string& name) {
        Raw raw;
        RegKey key = 0;
        if (reg().OpenKey(kHkeyCurrentUser, Path(sub), &key) != kErrorSuccess) return raw;
        std::uint32_t size = 0;
        if (reg().QueryValue(key, name, &raw.type, nullptr, &size) == kErrorSuccess) {
            raw.present = true;
            raw.data.assign(size, 0xCD);
            if (size) reg().QueryValue(key, name, &raw.type, raw.data.data(), &size);
            raw.data.resize(size);
        }
        reg().CloseKey(key);
        return raw;
    }

    void Put(const std::string& sub, const std::string& name, std::uint32_t type, const std::string& bytes) {
        RegKey key = 0;
        ASSERT_EQ(reg().CreateKey(kHkeyCurrentUser, Path(sub), &key), kErrorSuccess);
        ASSERT_EQ(reg().SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<std::uint32_t>(bytes.size())),
                  kErrorSuccess);
        reg().CloseKey(key);
    }

    std::unique_ptr<Registry> reg_;
};

TEST_P(RegistryContract, TextIsStoredWithoutTerminatorAndReadBackCutAtTheFirstNul) {
    WriteRegString(reg(), kHkeyCurrentUser, Path("S"), "plain", "1500");
    Raw raw = Read("S", "plain");
    EXPECT_TRUE(raw.present);
    EXPECT_EQ(raw.type, kRegSz);
    EXPECT_EQ(std::string(raw.data.begin(), raw.data.end()), std::string("1500\0", 5))
        << "the helper counts no terminator; the registry adds it, as NT does";

    Put("S", "terminated", kRegSz, std::string("1500\0", 5));
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("S"), "terminated", "x"), "1500");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("S"), "plain", "x"), "1500");

    Put("S", "embedded", kRegSz, std::string("abc\0def", 7));
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("S"), "embedded", "x"), "abc");

    WriteRegString(reg(), kHkeyCurrentUser, Path("S"), "accent", "Caf\xe9");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("S"), "accent"), "Caf\xe9");
}

TEST_P(RegistryContract, EmptyTextIsAValueNotTheDefault) {
    WriteRegString(reg(), kHkeyCurrentUser, Path("S"), "empty", "");
    Raw raw = Read("S", "empty");
    ASSERT_TRUE(raw.present);
    EXPECT_EQ(raw.type, kRegSz);
    EXPECT_TRUE(raw.data.empty());
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("S"), "empty", "fallback"), "");
}

TEST_P(RegistryContract, MissingKeysAndValuesGiveTheCallersDefault) {
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("Nowhere"), "x", "fallback"), "fallback");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("Nowhere"), "x"), "");
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("Nowhere"), "x", 77), 77);
    EXPECT_FALSE(ReadRegBinary(reg(), kHkeyCurrentUser, Path("Nowhere"), "x").has_value());
    WriteRegString(reg(), kHkeyCurrentUser, Path("S"), "other", "1");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("S"), "x", "fallback"), "fallback");
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("S"), "x", -3), -3);
    EXPECT_FALSE(Read("Nowhere", "x").present) << "reading never creates a key";
}

TEST_P(RegistryContract, ATypeMismatchGivesTheDefault) {
    WriteRegDword(reg(), kHkeyCurrentUser, Path("T"), "number", 64);
    WriteRegString(reg(), kHkeyCurrentUser, Path("T"), "digits", "64");
    WriteRegBinary(reg(), kHkeyCurrentUser, Path("T"), "four", {64, 0, 0, 0});
    Put("T", "expand", kRegExpandSz, std::string("64\0", 3));
    Put("T", "multi", kRegMultiSz, std::string("64\0\0", 4));

    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("T"), "number", "d"), "d");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("T"), "expand", "d"), "d");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("T"), "multi", "d"), "d");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("T"), "four", "d"), "d");
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("T"), "digits", 9), 9);
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("T"), "four", 9), 9);
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("T"), "expand", 9), 9);
    EXPECT_FALSE(ReadRegBinary(reg(), kHkeyCurrentUser, Path("T"), "number").has_value());
    EXPECT_FALSE(ReadRegBinary(reg(), kHkeyCurrentUser, Path("T"), "digits").has_value());
}

TEST_P(RegistryContract, NumbersAreFourLittleEndianBytesAndSigned) {
    WriteRegDword(reg(), kHkeyCurrentUser, Path("N"), "negative", -5);
    WriteRegDword(reg(), kHkeyCurrentUser, Path("N"), "window", 373760);
    Raw raw = Read("N", "negative");
    EXPECT_EQ(raw.type, kRegDword);
    EXPECT_EQ(raw.data, (std::vector<std::uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("N"), "negative", 0), -5);
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("N"), "window", 0), 373760);
}

TEST_P(RegistryContract, BytesRoundTripAndAnEmptyByteValueReadsAsAbsent) {
    WriteRegBinary(reg(), kHkeyCurrentUser, Path("B"), "slownet", {1, 0, 0, 0});
    Raw raw = Read("B", "slownet");
    EXPECT_EQ(raw.type, kRegBinary);
    EXPECT_EQ(raw.data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(ReadRegBinary(reg(), kHkeyCurrentUser, Path("B"), "slownet"), (ByteArray{1, 0, 0, 0}));

    WriteRegBinary(reg(), kHkeyCurrentUser, Path("B"), "empty", {});
    raw = Read("B", "empty");
    EXPECT_TRUE(raw.present);
    EXPECT_EQ(raw.type, kRegBinary);
    EXPECT_TRUE(raw.data.empty());
    EXPECT_FALSE(ReadRegBinary(reg(), kHkeyCurrentUser, Path("B"), "empty").has_value());
    EXPECT_EQ(ReadRegBinary(reg(), kHkeyCurrentUser, Path("B"), "empty", ByteArray{7}), ByteArray{7});
}

TEST_P(RegistryContract, WritersCreateEveryMissingKeyAlongThePath) {
    WriteRegString(reg(), kHkeyCurrentUser, Path("Class\\Net\\0003\\Ndi\\Params\\IPMTU"), "default", "576");
    EXPECT_EQ(EnumRegSubkeys(reg(), kHkeyCurrentUser, Path("Class")), std::vector<std::string>{"Net"});
    EXPECT_EQ(EnumRegSubkeys(reg(), kHkeyCurrentUser, Path("Class\\Net\\0003\\Ndi")),
              std::vector<std::string>{"Params"});
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("class\\NET\\0003\\ndi\\params\\ipmtu"), "DEFAULT"),
              "576")
        << "key and value names are case-insensitive";
}

TEST_P(RegistryContract, ATrailingBackslashNamesTheKeyItself) {
    // An adapter without a binding key writes its mirrors to "...\Class\" itself.
    WriteRegString(reg(), kHkeyCurrentUser, Path("Class\\"), "IPMTU", "1500");
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("Class"), "IPMTU"), "1500");
    EXPECT_TRUE(EnumRegSubkeys(reg(), kHkeyCurrentUser, Path("Class")).empty());
}

TEST_P(RegistryContract, DeletingTheUnnamedValueLeavesNamedValuesAlone) {
    WriteRegString(reg(), kHkeyCurrentUser, Path("D"), "", "unnamed");
    WriteRegString(reg(), kHkeyCurrentUser, Path("D"), "default", "named");
    DeleteRegValue(reg(), kHkeyCurrentUser, Path("D"), "");
    EXPECT_FALSE(Read("D", "").present);
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("D"), "default"), "named");
    DeleteRegValue(reg(), kHkeyCurrentUser, Path("D"), "default");
    EXPECT_FALSE(Read("D", "default").present);
}

TEST_P(RegistryContract, DeletingWhatIsAbsentChangesNothingAndIsNoFailure) {
    reg().ResetFailedChanges();
    DeleteRegValue(reg(), kHkeyCurrentUser, Path("Missing\\Deeper"), "x");
    WriteRegString(reg(), kHkeyCurrentUser, Path("D"), "keep", "1");
    DeleteRegValue(reg(), kHkeyCurrentUser, Path("D"), "absent");
    EXPECT_FALSE(Read("Missing\\Deeper", "x").present);
    EXPECT_TRUE(EnumRegSubkeys(reg(), kHkeyCurrentUser, Path("Missing")).empty()) << "a delete creates no key";
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("D"), "keep"), "1");
    EXPECT_EQ(reg().FailedChanges(), 0u);
}

TEST_P(RegistryContract, EnumerationListsSubkeysInTheRegistrysOrder) {
    EXPECT_TRUE(EnumRegSubkeys(reg(), kHkeyCurrentUser, Path("Enum\\Network\\MSTCP")).empty());
    for (const char* name : {"0002", "0000", "Bravo", "alpha"}) {
        WriteRegString(reg(), kHkeyCurrentUser, Path(std::string("Enum\\Network\\MSTCP\\") + name), "Driver", "x");
    }
    EXPECT_EQ(EnumRegSubkeys(reg(), kHkeyCurrentUser, Path("Enum\\Network\\MSTCP")),
              (std::vector<std::string>{"0000", "0002", "alpha", "Bravo"}));
    WriteRegString(reg(), kHkeyCurrentUser, Path("Three\\a"), "v", "1");
    WriteRegString(reg(), kHkeyCurrentUser, Path("Three\\b"), "v", "1");
    WriteRegString(reg(), kHkeyCurrentUser, Path("Three\\c"), "v", "1");
    EXPECT_EQ(EnumRegSubkeys(reg(), kHkeyCurrentUser, Path("Three")).size(), 3u);
}

TEST_P(RegistryContract, ValuesKeepTheCaseOfTheirFirstWriteAndAreReplacedWhole) {
    WriteRegString(reg(), kHkeyCurrentUser, Path("R"), "SackOpts", "1");
    WriteRegDword(reg(), kHkeyCurrentUser, Path("R"), "SACKOPTS", 1);
    EXPECT_EQ(ReadRegString(reg(), kHkeyCurrentUser, Path("R"), "sackopts", "gone"), "gone");
    EXPECT_EQ(ReadRegDword(reg(), kHkeyCurrentUser, Path("R"), "SackOpts", 0), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::ValuesIn(Backends()),
                         [](const ::testing::TestParamInfo<Backend>& info) { return info.param.name; });

// Things only the in-memory registry can be made to do.
TEST(MemoryRegistry, HelpersCloseEveryKeyTheyOpen) {
    MemoryRegistry reg;
    WriteRegString(reg, kHkeyLocalMachine, "A\\B", "s", "1");
    WriteRegDword(reg, kHkeyLocalMachine, "A\\B", "d", 1);
    WriteRegBinary(reg, kHkeyLocalMachine, "A\\B", "b", {1});
    ReadRegString(reg, kHkeyLocalMachine, "A\\B", "s");
    ReadRegDword(reg, kHkeyLocalMachine, "A\\B", "d", 0);
    ReadRegBinary(reg, kHkeyLocalMachine, "A\\B", "b");
    EnumRegSubkeys(reg, kHkeyLocalMachine, "A");
    DeleteRegValue(reg, kHkeyLocalMachine, "A\\B", "s");
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(MemoryRegistry, RefusedChangesAreCountedAndLeaveTheRegistryAsItWas) {
    MemoryRegistry reg;
    WriteRegString(reg, kHkeyLocalMachine, "A", "keep", "1");
    std::string before = reg.Dump();
    reg.SetReadOnly(true);
    WriteRegString(reg, kHkeyLocalMachine, "A", "s", "1");
    WriteRegDword(reg, kHkeyLocalMachine, "A\\New", "d", 1);
    WriteRegBinary(reg, kHkeyLocalMachine, "A", "b", {1});
    DeleteRegValue(reg, kHkeyLocalMachine, "A", "keep");
    EXPECT_EQ(reg.FailedChanges(), 4u);
    DeleteRegValue(reg, kHkeyLocalMachine, "Absent\\Key", "x");
    EXPECT_EQ(reg.FailedChanges(), 4u) << "a key that is not there has nothing to refuse";
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, "A", "keep"), "1") << "reads still work";
    EXPECT_EQ(reg.Dump(), before);
}

}  // namespace
}  // namespace zv
