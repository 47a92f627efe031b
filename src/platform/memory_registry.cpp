// In-memory registry: case-insensitive names, sorted subkeys, advapi32's return codes.
#include "platform/memory_registry.h"
#include "platform/registry_paths.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace zv {

struct MemoryRegistry::Node {
    std::string name;
    std::map<std::string, std::unique_ptr<Node>> children;              // by upper-case name
    std::map<std::string, std::pair<std::string, RegValue>> values;     // by upper-case name
};

MemoryRegistry::MemoryRegistry() {
    for (RegKey root : {RegKey(0x80000000u), kHkeyCurrentUser, kHkeyLocalMachine, RegKey(0x80000003u)}) {
        roots_[root] = std::make_unique<Node>();
    }
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::Resolve(RegKey key) const {
    if (auto r = roots_.find(key); r != roots_.end()) return r->second.get();
    if (auto h = handles_.find(key); h != handles_.end()) return h->second;
    return nullptr;
}

RegKey MemoryRegistry::NewHandle(Node* node) {
    RegKey h = nextHandle_;
    nextHandle_ += 4;
    handles_[h] = node;
    return h;
}

long MemoryRegistry::Walk(RegKey root, const std::string& path, bool create, Node** out) {
    Node* node = Resolve(root);
    if (!node) return kErrorInvalidHandle;
    std::vector<std::string> parts;
    if (!SplitKeyPath(path, &parts)) return kErrorBadPathname;
    if (create && readOnly_) return kErrorAccessDenied;
    for (const auto& part : parts) {
        auto it = node->children.find(UpperName(part));
        if (it == node->children.end()) {
            if (!create) return Missing(RegCall::Open);
            auto child = std::make_unique<Node>();
            child->name = part;
            it = node->children.emplace(UpperName(part), std::move(child)).first;
            ++writes_;
        }
        node = it->second.get();
    }
    *out = node;
    return kErrorSuccess;
}

void MemoryRegistry::RefuseCalls(RegCall kind, unsigned long first, unsigned long period, long code) {
    refuseKind_ = kind;
    refuseFrom_ = first == 0 ? 0 : Calls(kind) + first;
    refusePeriod_ = period;
    refuseCode_ = code;
    refused_ = 0;
}

long MemoryRegistry::Injected(RegCall call) {
    if (hook_) hook_();
    const unsigned long n = ++calls_[static_cast<std::size_t>(call)];
    if (call != refuseKind_ || refuseFrom_ == 0 || n < refuseFrom_) return kErrorSuccess;
    const unsigned long after = n - refuseFrom_;
    if (refusePeriod_ == 0 ? after != 0 : after % refusePeriod_ != 0) return kErrorSuccess;
    ++refused_;
    return refuseCode_;
}

long MemoryRegistry::Missing(RegCall call) const {
    if (family_ == RegistryFamily::Nt) return kErrorFileNotFound;
    return call == RegCall::Open ? kErrorCantOpen : kErrorCantRead;
}

long MemoryRegistry::OpenKey(RegKey root, const std::string& path, RegKey* result) {
    if (long refused = Injected(RegCall::Open)) return refused;
    Node* node = nullptr;
    long code = Walk(root, path, false, &node);
    if (code != kErrorSuccess) return code;
    // An empty path hands back the very handle that was passed in.
    std::vector<std::string> parts;
    SplitKeyPath(path, &parts);
    *result = parts.empty() ? root : NewHandle(node);
    return kErrorSuccess;
}

long MemoryRegistry::CreateKey(RegKey root, const std::string& path, RegKey* result) {
    if (long refused = Injected(RegCall::Create)) return refused;
    Node* node = nullptr;
    long code = Walk(root, path, true, &node);
    if (code != kErrorSuccess) return code;
    std::vector<std::string> parts;
    SplitKeyPath(path, &parts);
    *result = parts.empty() ? root : NewHandle(node);
    return kErrorSuccess;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) {
    if (long refused = Injected(RegCall::Query)) return refused;
    Node* node = Resolve(key);
    if (!node) return kErrorInvalidHandle;
    auto it = node->values.find(UpperName(name));
    if (it == node->values.end()) return Missing(RegCall::Query);
    const RegValue& v = it->second.second;
    if (type) *type = v.type;
    auto length = static_cast<std::uint32_t>(v.data.size());
    if (!data) {
        if (size) *size = length;
        return kErrorSuccess;
    }
    if (!size) return kErrorInvalidParameter;
    if (*size < length) {
        *size = length;
        return kErrorMoreData;
    }
    if (length) std::memcpy(data, v.data.data(), length);
    *size = length;
    return kErrorSuccess;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
    if (long refused = Injected(RegCall::Set)) return refused;
    Node* node = Resolve(key);
    if (!node) return kErrorInvalidHandle;
    if (readOnly_) return kErrorAccessDenied;
    if (size && !data) return kErrorInvalidParameter;
    RegValue v;
    v.type = type;
    if (size) v.data.assign(data, data + size);
    // Like NT, a text whose terminator was not counted is stored with it. Callers pass C strings,
    // so the terminator follows the counted bytes.
    bool isText = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
    if (isText && size && data[size - 1] != 0 && data[size] == 0) v.data.push_back(0);
    auto& slot = node->values[UpperName(name)];
    if (slot.first.empty()) slot.first = name;
    slot.second = std::move(v);
    ++writes_;
    return kErrorSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
    if (long refused = Injected(RegCall::Delete)) return refused;
    Node* node = Resolve(key);
    if (!node) return kErrorInvalidHandle;
    if (readOnly_) return kErrorAccessDenied;
    if (!node->values.erase(UpperName(name))) return Missing(RegCall::Delete);
    ++writes_;
    return kErrorSuccess;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    if (long refused = Injected(RegCall::Enum)) return refused;
    Node* node = Resolve(key);
    if (!node) return kErrorInvalidHandle;
    if (index >= node->children.size()) return kErrorNoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    const std::string& n = it->second->name;
    if (n.size() + 1 > nameSize) return kErrorMoreData;
    std::memcpy(name, n.c_str(), n.size() + 1);
    return kErrorSuccess;
}

long MemoryRegistry::CloseKey(RegKey key) {
    if (long refused = Injected(RegCall::Close)) return refused;
    if (roots_.count(key)) return kErrorSuccess;
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

long MemoryRegistry::FlushKey(RegKey key) {
    if (long refused = Injected(RegCall::Flush)) return refused;
    return Resolve(key) ? kErrorSuccess : kErrorInvalidHandle;
}

std::unique_ptr<MemoryRegistry> MemoryRegistry::Copy() const {
    auto copy = std::make_unique<MemoryRegistry>();
    auto clone = [](auto&& self, const Node& from, Node& to) -> void {
        to.name = from.name;
        to.values = from.values;
        for (const auto& [upper, child] : from.children) {
            auto made = std::make_unique<Node>();
            self(self, *child, *made);
            to.children.emplace(upper, std::move(made));
        }
    };
    for (const auto& [root, node] : roots_) clone(clone, *node, *copy->roots_[root]);
    copy->family_ = family_;
    return copy;
}

const MemoryRegistry::Node* MemoryRegistry::Find(RegKey root, const std::string& path) const {
    auto r = roots_.find(root);
    if (r == roots_.end()) return nullptr;
    const Node* node = r->second.get();
    std::vector<std::string> parts;
    if (!SplitKeyPath(path, &parts)) return nullptr;
    for (const auto& part : parts) {
        auto it = node->children.find(UpperName(part));
        if (it == node->children.end()) return nullptr;
        node = it->second.get();
    }
    return node;
}

std::optional<RegValue> MemoryRegistry::Get(RegKey root, const std::string& path, const std::string& name) const {
    const Node* node = Find(root, path);
    if (!node) return std::nullopt;
    auto it = node->values.find(UpperName(name));
    if (it == node->values.end()) return std::nullopt;
    return it->second.second;
}

bool MemoryRegistry::HasKey(RegKey root, const std::string& path) const { return Find(root, path) != nullptr; }

std::string MemoryRegistry::Dump() const {
    std::ostringstream out;
    auto walk = [&](auto&& self, const Node& node, const std::string& path) -> void {
        out << path << '\n';
        for (const auto& [upper, entry] : node.values) {
            out << path << " : \"" << entry.first << "\" type " << entry.second.type << " =";
            for (auto b : entry.second.data) out << ' ' << int(b);
            out << '\n';
        }
        for (const auto& [upper, child] : node.children) self(self, *child, path + '\\' + child->name);
    };
    for (const auto& [root, node] : roots_) {
        std::ostringstream name;
        name << std::hex << root;
        walk(walk, *node, name.str());
    }
    return out.str();
}

}  // namespace zv
