// The system's clock and files for the line watch, and where its outage log goes on this machine.
#pragma once

#include <windows.h>

#include <string>

#include "keepalive/outage_log.h"
#include "keepalive/ping_stats.h"

namespace zv {

class SystemClock : public Clock {
public:
    ClockReading Now() override;
};

class SystemTextFiles : public TextFiles {
public:
    std::int64_t FileSize(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool Append(const std::string& path, const std::string& text) override;
};

// The user's application-data folder; empty where the shell cannot tell it (Windows 95 and NT 4.0
// without the desktop update have no SHGetSpecialFolderPathA).
std::string AppDataFolder();

// The outage log's place on this machine: in the application-data folder, else beside the program.
LogPlace SystemOutageLogPlace();

// Replaces the file's content with the text; false unless all of it was written.
bool WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace zv
