// The exact registry values a write run will change: each value as it is now and as it will be,
// the texts a review shows for them, and putting such values into a registry.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory_registry.h"
#include "platform/registry.h"

namespace zv {

// One value location: root, key path below it, value name (empty: the key's unnamed value).
struct ValueLocation {
    RegKey root = kHkeyLocalMachine;
    std::string key;
    std::string name;
    bool operator==(const ValueLocation&) const = default;
};

// A value that will change. Nothing as `now` means "not set"; nothing as `after` means "deleted".
struct ValueChange {
    ValueLocation where;
    std::optional<RegValue> now;
    std::optional<RegValue> after;
};

struct ChangeSet {
    std::vector<ValueChange> rows;  // in the order the run first touches them
    // Keys the run creates that hold no changed value at its end (a value written and then deleted
    // again); keys holding a changed value are created by setting it.
    std::vector<ValueLocation> createdKeys;  // name unused
    // Every value the run sets or deletes, also those already so here, in the same order: what the
    // run gives on another computer. Never written by a write run.
    std::vector<ValueChange> writes;

    // The run's every write as a change set of its own (rows from `writes`).
    ChangeSet AllWrites() const;
    std::size_t SetCount() const;
    std::size_t DeletedCount() const;
    bool ChangesNothing() const { return rows.empty(); }
};

// "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER" (others in hexadecimal).
std::string RootName(RegKey root);
// The root's name, a backslash and the key path.
std::string KeyText(const ValueLocation& where);
// The value name, or "(unnamed)" for a key's unnamed value.
std::string ValueNameText(const std::string& name);
// REG_SZ "1500", REG_DWORD 1500 (0x5DC), REG_BINARY 01 00 00 00; the given text for no value.
std::string ValueText(const std::optional<RegValue>& value, const std::string& absentText);
std::string NowText(const ValueChange& change);    // "not set" when absent
std::string AfterText(const ValueChange& change);  // "deleted" when absent
// One line for the review: "3 values will be set and 1 deleted." or that nothing will change.
std::string ChangeSummary(const ChangeSet& changes);

// The value stored at the location, whatever its type; nothing when the key or value is missing.
std::optional<RegValue> ReadValue(Registry& reg, const ValueLocation& where);

// Sets the value (creating its key) or deletes it, as the helpers do; refusals are counted by the
// registry (deleting what is absent is none).
void PutValue(Registry& reg, const ValueLocation& where, const std::optional<RegValue>& value);

// Creates the change set's keys and puts every row's `after` value in place, in order.
void ApplyChangeSet(Registry& reg, const ChangeSet& changes);

// Whether this user may change every key the change set writes in (for a key still to be made, the
// nearest one there): each is opened for writing and closed again, and nothing is made or written.
// On Windows NT, 2000 and XP a user who is no administrator may not; the 9x family has no such rights.
bool MayWrite(Registry& reg, const ChangeSet& changes);

}  // namespace zv
