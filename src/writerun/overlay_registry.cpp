// The overlay registry: reads through to the base, keeps keys created and values set or deleted.
#include "writerun/overlay_registry.h"

#include "platform/registry_paths.h"

#include <algorithm>
#include <cstring>

namespace zv {
namespace {

std::string Join(const std::vector<std::string>& parts, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
        if (i) path += '\\';
        path += parts[i];
    }
    return path;
}
std::string Join(const std::vector<std::string>& parts) { return Join(parts, parts.size()); }

std::string KeyId(RegKey root, const std::string& path) { return std::to_string(root) + "|" + UpperName(path); }

// Answers a query from a value held here, with advapi32's codes and size rules.
long Answer(const RegValue& v, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    if (type) *type = v.type;
    const auto length = static_cast<std::uint32_t>(v.data.size());
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

}  // namespace

OverlayRegistry::OverlayRegistry(Registry& base) : base_(base) {}

OverlayRegistry::~OverlayRegistry() {
    for (auto& [handle, view] : handles_) {
        if (view.baseKey && *view.baseKey != view.root) base_.CloseKey(*view.baseKey);
    }
}

const OverlayRegistry::View* OverlayRegistry::Find(RegKey key, View* rootView) const {
    if (auto it = handles_.find(key); it != handles_.end()) return &it->second;
    // Anything else must be a root the base knows.
    RegKey opened = 0;
    if (base_.OpenKey(key, "", &opened) != kErrorSuccess) return nullptr;
    if (opened != key) base_.CloseKey(opened);
    *rootView = View{key, {}, key};
    return rootView;
}

bool OverlayRegistry::CreatedHere(RegKey root, const std::vector<std::string>& parts) const {
    return created_.count(KeyId(root, Join(parts))) != 0;
}

void OverlayRegistry::RecordCreated(const View& view) {
    // The first component the base lacks, and every one below it, is new.
    std::size_t depth = 0;
    while (depth < view.parts.size()) {
        const std::string prefix = Join(view.parts, depth + 1);
        RegKey key = 0;
        if (created_.count(KeyId(view.root, prefix))) {
            ++depth;
            continue;
        }
        if (base_.OpenKey(view.root, prefix, &key) != kErrorSuccess) break;
        base_.CloseKey(key);
        ++depth;
    }
    for (; depth < view.parts.size(); ++depth) {
        const std::string path = Join(view.parts, depth + 1);
        created_.insert(KeyId(view.root, path));
        createdChildren_[KeyId(view.root, Join(view.parts, depth))].push_back(view.parts[depth]);
        createdKeys_.push_back(ValueLocation{view.root, path, ""});
    }
}

long OverlayRegistry::Open(RegKey root, const std::string& path, bool create, RegKey* result) {
    View rootView;
    const View* parent = Find(root, &rootView);
    if (!parent) return kErrorInvalidHandle;
    std::vector<std::string> parts;
    if (!SplitKeyPath(path, &parts)) return kErrorBadPathname;
    if (parts.empty()) {
        // As advapi32: the very handle that was passed in.
        *result = root;
        return kErrorSuccess;
    }
    View view{parent->root, parent->parts, std::nullopt};
    view.parts.insert(view.parts.end(), parts.begin(), parts.end());
    RegKey baseKey = 0;
    const long code = base_.OpenKey(view.root, Join(view.parts), &baseKey);
    if (code == kErrorSuccess) {
        view.baseKey = baseKey;
    } else if (!IsNotThere(code)) {
        return code;
    } else if (!CreatedHere(view.root, view.parts)) {
        // A name the base cannot hold is not made here either.
        if (!create || code == kErrorBadKey) return code;
        RecordCreated(view);
    }
    const RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = std::move(view);
    *result = handle;
    return kErrorSuccess;
}

long OverlayRegistry::OpenKey(RegKey root, const std::string& path, RegKey* result) {
    return Open(root, path, false, result);
}

long OverlayRegistry::CreateKey(RegKey root, const std::string& path, RegKey* result) {
    return Open(root, path, true, result);
}

std::optional<RegValue> OverlayRegistry::BaseValue(const View& view, const std::string& name) const {
    if (!view.baseKey) return std::nullopt;
    RegValue v;
    std::uint32_t size = 0;
    if (base_.QueryValue(*view.baseKey, name, &v.type, nullptr, &size) != kErrorSuccess) return std::nullopt;
    v.data.resize(size);
    if (size && base_.QueryValue(*view.baseKey, name, &v.type, v.data.data(), &size) != kErrorSuccess) {
        return std::nullopt;
    }
    v.data.resize(size);
    return v;
}

std::optional<RegValue> OverlayRegistry::Current(const View& view, const std::string& name) const {
    auto it = touchedIndex_.find(KeyId(view.root, Join(view.parts)) + "|" + UpperName(name));
    if (it != touchedIndex_.end()) return touched_[it->second].after;
    return BaseValue(view, name);
}

OverlayRegistry::Touched& OverlayRegistry::Touch(const View& view, const std::string& name) {
    const std::string id = KeyId(view.root, Join(view.parts)) + "|" + UpperName(name);
    auto it = touchedIndex_.find(id);
    if (it != touchedIndex_.end()) return touched_[it->second];
    const auto before = BaseValue(view, name);
    touched_.push_back(Touched{ValueLocation{view.root, Join(view.parts), name}, before, before});
    touchedIndex_[id] = touched_.size() - 1;
    return touched_.back();
}

long OverlayRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* size) {
    View rootView;
    const View* view = Find(key, &rootView);
    if (!view) return kErrorInvalidHandle;
    auto it = touchedIndex_.find(KeyId(view->root, Join(view->parts)) + "|" + UpperName(name));
    if (it != touchedIndex_.end()) {
        const auto& value = touched_[it->second].after;
        return value ? Answer(*value, type, data, size) : kErrorFileNotFound;
    }
    if (!view->baseKey) return kErrorFileNotFound;
    return base_.QueryValue(*view->baseKey, name, type, data, size);
}

long OverlayRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                               std::uint32_t size) {
    View rootView;
    const View* view = Find(key, &rootView);
    if (!view) return kErrorInvalidHandle;
    if (size && !data) return kErrorInvalidParameter;
    RegValue v;
    v.type = type;
    if (size) v.data.assign(data, data + size);
    // Stored as the registry stores it: a text whose terminator was not counted gets it.
    const bool isText = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
    if (isText && size && data[size - 1] != 0 && data[size] == 0) v.data.push_back(0);
    Touch(*view, name).after = std::move(v);
    return kErrorSuccess;
}

long OverlayRegistry::DeleteValue(RegKey key, const std::string& name) {
    View rootView;
    const View* view = Find(key, &rootView);
    if (!view) return kErrorInvalidHandle;
    // Kept even when there is nothing to delete here: another computer may have the value.
    const bool there = Current(*view, name).has_value();
    Touch(*view, name).after.reset();
    return there ? kErrorSuccess : kErrorFileNotFound;
}

long OverlayRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    View rootView;
    const View* view = Find(key, &rootView);
    if (!view) return kErrorInvalidHandle;
    std::vector<std::string> names;
    if (view->baseKey) {
        char buffer[256];
        for (std::uint32_t i = 0; base_.EnumKey(*view->baseKey, i, buffer, sizeof buffer) == kErrorSuccess; ++i) {
            names.emplace_back(buffer, strnlen(buffer, sizeof buffer));
        }
    }
    // Keys made here take their place in the registry's sorted order.
    if (auto children = createdChildren_.find(KeyId(view->root, Join(view->parts)));
        children != createdChildren_.end()) {
        for (const std::string& child : children->second) {
            const std::string upper = UpperName(child);
            auto at = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return UpperName(n) > upper; });
            names.insert(at, child);
        }
    }
    if (index >= names.size()) return kErrorNoMoreItems;
    const std::string& n = names[index];
    if (n.size() + 1 > nameSize) return kErrorMoreData;
    std::memcpy(name, n.c_str(), n.size() + 1);
    return kErrorSuccess;
}

long OverlayRegistry::CloseKey(RegKey key) {
    auto it = handles_.find(key);
    if (it == handles_.end()) return base_.CloseKey(key);
    if (it->second.baseKey && *it->second.baseKey != it->second.root) base_.CloseKey(*it->second.baseKey);
    handles_.erase(it);
    return kErrorSuccess;
}

ChangeSet OverlayRegistry::Changes() const {
    ChangeSet changes;
    for (const Touched& t : touched_) {
        changes.writes.push_back(ValueChange{t.where, t.before, t.after});
        if (t.before != t.after) changes.rows.push_back(changes.writes.back());
    }
    // A created key is made anyway by setting a changed value in it or below it.
    for (const ValueLocation& key : createdKeys_) {
        const std::string upper = UpperName(key.key);
        const bool madeByRow = std::any_of(changes.rows.begin(), changes.rows.end(), [&](const ValueChange& row) {
            if (row.where.root != key.root || !row.after) return false;
            const std::string rowKey = UpperName(row.where.key);
            return rowKey == upper || rowKey.rfind(upper + "\\", 0) == 0;
        });
        if (!madeByRow) changes.createdKeys.push_back(key);
    }
    return changes;
}

}  // namespace zv
