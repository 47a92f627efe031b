// Backup file names: refusals, the proposed name, the saved-files list and the temporary name.
#include "backup/backup_names.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zv {
namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool IsDeviceName(const std::string& name) {
    // Windows takes the part before the first dot, trailing blanks dropped, as the device.
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(), Upper);
    static const std::array<const char*, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    for (const char* d : plain) {
        if (base == d) return true;
    }
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        return base[3] >= '1' && base[3] <= '9';
    }
    return false;
}

}  // namespace

std::optional<std::string> RefuseBackupName(const std::string& name) {
    if (name.find_first_not_of(' ') == std::string::npos) return "Please type a name for the backup file.";
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || std::string("\\/:*?\"<>|").find(c) != std::string::npos) {
            return "A backup name cannot contain any of the characters \\ / : * ? \" < > | or control characters.";
        }
    }
    if (name.find_first_not_of('.') == std::string::npos) return "A backup name cannot consist of dots only.";
    if (IsDeviceName(name)) {
        return "\"" + name + "\" is a name Windows keeps for a device. Please choose another name.";
    }
    if (name.size() > kMaxBackupNameLength) {
        return "A backup name can be at most " + std::to_string(kMaxBackupNameLength) + " characters long.";
    }
    return std::nullopt;
}

std::optional<std::string> DirectoryListing::Next() {
    if (next_ >= entries_.size()) return std::nullopt;
    return entries_[next_++];
}

bool FileExist(const std::optional<std::string>& entry, DirectoryListing& listing, const std::string& name) {
    bool found = false;
    for (auto e = entry; e; e = listing.Next()) {
        if (*e == name) found = true;
    }
    return found;
}

std::string ProposeBackupName(const std::string& shortDate, const std::vector<std::string>& folderEntries) {
    std::string stem = shortDate;
    std::replace(stem.begin(), stem.end(), '.', '_');
    std::replace(stem.begin(), stem.end(), '/', '_');
    // One name per entry at most is taken, so the search ends within entries + 1 steps.
    for (std::size_t n = 1;; ++n) {
        std::string candidate = stem + "_" + std::to_string(n);
        DirectoryListing listing(folderEntries);
        auto first = listing.Next();
        if (!FileExist(first, listing, candidate + kBackupExtension)) return candidate;
    }
}

std::vector<std::string> SavedFileList(const std::vector<std::string>& folderEntries) {
    std::vector<std::string> shown;
    for (const std::string& e : folderEntries) {
        if (e.size() > 4 && e.compare(e.size() - 3, 3, "dat") == 0) shown.push_back(e.substr(0, e.size() - 4));
    }
    return shown;
}

std::string OverwriteQuestion(const std::string& name) {
    return "A backup named \"" + name + "\" exists already. Do you want to replace it?";
}

std::string TemporaryBackupName(const std::string& name) { return name + ".tmp"; }

}  // namespace zv
