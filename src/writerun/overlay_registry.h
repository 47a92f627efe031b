// A registry that reads through to another one but keeps every change to itself: a run made
// against it shows what it would change without changing anything.
#pragma once

#include <map>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "platform/change_set.h"
#include "platform/registry.h"

namespace zv {

// Answers as the base registry would after the changes made so far: opens of keys created here
// succeed, enumerations list them in the base's sorted order, values set or deleted here read as
// such. The base is only read. It cannot know what the base would refuse, so it refuses nothing
// the base would not refuse by the name alone.
class OverlayRegistry : public Registry {
public:
    explicit OverlayRegistry(Registry& base);
    ~OverlayRegistry() override;
    OverlayRegistry(const OverlayRegistry&) = delete;
    OverlayRegistry& operator=(const OverlayRegistry&) = delete;

    long OpenKey(RegKey root, const std::string& path, RegKey* result) override;
    long CreateKey(RegKey root, const std::string& path, RegKey* result) override;
    long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    long CloseKey(RegKey key) override;

    // Every value whose state differs from the base's, with the base's value as "now"; `writes`
    // holds every value set or deleted here, changed or not.
    ChangeSet Changes() const;

private:
    // A key as seen here: a root of the base and the path's components below it.
    struct View {
        RegKey root = 0;
        std::vector<std::string> parts;
        std::optional<RegKey> baseKey;  // open in the base when the base has the key
    };
    struct Touched {
        ValueLocation where;
        std::optional<RegValue> before;
        std::optional<RegValue> after;
    };

    const View* Find(RegKey key, View* rootView) const;
    long Open(RegKey root, const std::string& path, bool create, RegKey* result);
    void RecordCreated(const View& view);
    bool CreatedHere(RegKey root, const std::vector<std::string>& parts) const;
    std::optional<RegValue> BaseValue(const View& view, const std::string& name) const;
    std::optional<RegValue> Current(const View& view, const std::string& name) const;
    Touched& Touch(const View& view, const std::string& name);

    Registry& base_;
    std::map<RegKey, View> handles_;
    RegKey nextHandle_ = 0x7000;
    std::map<std::string, std::size_t> touchedIndex_;  // by root and upper-case key and name
    std::vector<Touched> touched_;
    std::set<std::string> created_;                                     // keys the base lacks, by id
    std::map<std::string, std::vector<std::string>> createdChildren_;  // their names, by parent's id
    std::vector<ValueLocation> createdKeys_;
};

}  // namespace zv
