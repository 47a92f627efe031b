// Backup file names: which names are refused, the proposed name, the saved-files list, and the
// temporary name a backup is written under before it replaces the file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zv {

inline const std::string kBackupExtension = ".dat";

// Why a name typed for a backup or a restore cannot name a file in the backup folder, or nothing
// when it can: empty (or blanks only), a character of \ / : * ? " < > | or a control character,
// dots only, a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or without an
// extension, in any case), or too long for a file name.
std::optional<std::string> RefuseBackupName(const std::string& name);

// The longest name accepted: with ".dat" it stays within a file name's 255 characters.
inline constexpr std::size_t kMaxBackupNameLength = 251;

// A directory listing that the caller has begun; each entry is handed out once.
class DirectoryListing {
public:
    explicit DirectoryListing(std::vector<std::string> entries) : entries_(std::move(entries)) {}
    // The next entry, or nothing at the end.
    std::optional<std::string> Next();

private:
    std::vector<std::string> entries_;
    std::size_t next_ = 0;
};

// True when the given entry, or an entry after it, equals name exactly (case-sensitive). Consumes
// the rest of the listing.
bool FileExist(const std::optional<std::string>& entry, DirectoryListing& listing, const std::string& name);

// The short date with every "." and "/" replaced by "_", then "_" and the first n from 1 on for which
// no entry of the backup folder is that name followed by ".dat". Without ".dat".
std::string ProposeBackupName(const std::string& shortDate, const std::vector<std::string>& folderEntries);

// The saved-files list: every entry whose last three characters are "dat" (case-sensitive), shown
// without its last four, in folder order. An entry that would show as nothing is left out.
std::vector<std::string> SavedFileList(const std::vector<std::string>& folderEntries);

// The question asked before a backup replaces an existing file of that name (Yes/No).
std::string OverwriteQuestion(const std::string& name);

// The file a backup is first written to, in the same folder, before it is renamed over the final
// name; it never ends in "dat", so it is never listed.
std::string TemporaryBackupName(const std::string& name);

}  // namespace zv
