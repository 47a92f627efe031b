// A change set as a registry file for the system's own Registry Editor (regedit /s FILE), with
// comment lines saying what it was made from.
#pragma once

#include <string>
#include <vector>

#include "platform/change_set.h"
#include "platform/opsysinfo.h"
#include "writerun/safety_backup.h"

namespace zv {

// What the file's comment lines say about the run it holds.
struct RegExportFacts {
    std::string programVersion;  // "1.0.0"
    WindowsFamily family = WindowsFamily::Unknown;
    std::string adapter;     // the adapter list item; empty on the NT family
    std::string connection;  // the connection type, or what the run was (a custom Apply)
    std::string option;      // "Automatic Configuration #3", or empty
    LocalTime date;
    bool allValues = false;  // every value the run writes, not only what differs on this computer
    // 9x: the keys the adapter values were written to, "Net\0000, NetTrans\0000 (description)".
    std::vector<std::string> adapterKeys;
};

// The whole file, lines ending in CR LF. Every family gets REGEDIT4, the one format the Registry
// Editor of Windows 95, 98, Me and NT 4.0 reads and that of Windows 2000 and XP still imports.
// Keys are never deleted; a value is deleted with "name"=-, which only the Registry Editor of
// Windows 2000 and XP carries out (the file says so in its comment lines when it deletes values).
// With `facts.allValues`, pass the change set's AllWrites().
std::string RegFileText(const ChangeSet& changes, const RegExportFacts& facts);

}  // namespace zv
