// A registry held in memory that answers the registry calls exactly as advapi32 does.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace zv {

// The calls, to name the one a fault was injected into.
enum class RegCall { Open, Create, Query, Set, Delete, Enum, Close, Flush };

// How a missing key or value is answered. Nt: ERROR_FILE_NOT_FOUND, as NT and Wine answer.
// Win9x: ERROR_CANTOPEN for a missing key and ERROR_CANTREAD for a missing value, the codes the
// 9x registry documents as its aliases of ERROR_FILE_NOT_FOUND.
enum class RegistryFamily { Nt, Win9x };

struct RegValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue&) const = default;
};

class MemoryRegistry : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    long OpenKey(RegKey root, const std::string& path, RegKey* result) override;
    long CreateKey(RegKey root, const std::string& path, RegKey* result) override;
    long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    long CloseKey(RegKey key) override;
    long FlushKey(RegKey key) override;

    // The keys and values alone (no open handles, no faults): the registry as a restarted program finds it.
    std::unique_ptr<MemoryRegistry> Copy() const;

    // Behaves like an account without the right to change anything: every create, set and
    // delete is refused with ERROR_ACCESS_DENIED; reads still work.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    void SetFamily(RegistryFamily family) { family_ = family; }

    // Fault injection: of the calls of one kind from now on, the `first`-th (1: the next one) and,
    // with a period, every period-th after it are refused with `code` and do nothing.
    void RefuseCalls(RegCall kind, unsigned long first, unsigned long period = 0, long code = kErrorAccessDenied);
    // Calls of a kind made so far, and the calls the faults met.
    unsigned long Calls(RegCall kind) const { return calls_[static_cast<std::size_t>(kind)]; }
    unsigned long RefusedCalls() const { return refused_; }
    // Values set or deleted and keys made so far: the registry is as it was while this stays the same.
    unsigned long Writes() const { return writes_; }

    // Runs `hook` ahead of every call of any kind from now (none: no hook). The registry as it is then is
    // what a program cut off at that call by a power cut would leave: a copy of it is that registry.
    void BeforeEachCall(std::function<void()> hook) { hook_ = std::move(hook); }

    // Direct inspection for tests, bypassing handles.
    std::optional<RegValue> Get(RegKey root, const std::string& path, const std::string& name) const;
    bool HasKey(RegKey root, const std::string& path) const;
    // Every key and value, one per line, in a stable order: for "nothing changed" comparisons.
    std::string Dump() const;
    // Handles not closed yet; a helper that forgets to close shows up here.
    std::size_t OpenHandleCount() const { return handles_.size(); }

private:
    struct Node;
    Node* Resolve(RegKey key) const;
    long Walk(RegKey root, const std::string& path, bool create, Node** out);
    const Node* Find(RegKey root, const std::string& path) const;
    RegKey NewHandle(Node* node);
    // Counts the call; the injected code when it is one to refuse, else success.
    long Injected(RegCall call);
    long Missing(RegCall call) const;

    std::map<RegKey, std::unique_ptr<Node>> roots_;
    std::map<RegKey, Node*> handles_;
    RegKey nextHandle_ = 0x1000;
    bool readOnly_ = false;
    RegistryFamily family_ = RegistryFamily::Nt;
    std::array<unsigned long, 8> calls_{};
    std::function<void()> hook_;
    RegCall refuseKind_ = RegCall::Open;
    unsigned long refuseFrom_ = 0;  // the number of the first call of that kind refused; 0: none
    unsigned long refusePeriod_ = 0;
    long refuseCode_ = kErrorSuccess;
    unsigned long refused_ = 0;
    unsigned long writes_ = 0;
};

}  // namespace zv
