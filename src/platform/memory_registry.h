// A registry held in memory that answers the seven calls exactly as advapi32 does.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace zv {

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

    // Behaves like an account without the right to change anything: every create, set and
    // delete is refused with ERROR_ACCESS_DENIED; reads still work.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

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

    std::map<RegKey, std::unique_ptr<Node>> roots_;
    std::map<RegKey, Node*> handles_;
    RegKey nextHandle_ = 0x1000;
    bool readOnly_ = false;
};

}  // namespace zv
