// The Backup and Restore windows' OK over a folder in memory: what the Windows tests cannot bring
// about (a folder that cannot be made, a failed write or read, a refused change, the focus after a
// refused name) and the replace method each family gets.
#include <gtest/gtest.h>

#include "backup/backup_restore.h"
#include "backup/saved_file_commands.h"
#include "platform/registry_helpers.h"
#include "unit/backup_support.h"
#include "unit/family_query.h"
#include "unit/tuning_support.h"

namespace zv {
namespace {

using zvtest::FakeFolder;

const COpSysInfo kWin98(zvtest::FamilyQuery(WindowsFamily::Win98));
const COpSysInfo kWinXp(zvtest::FamilyQuery(WindowsFamily::WinXP));

TEST(BackupOk, ReplacesAfterYesByTheFamilysMethodAndAsksOnlyThen) {
    for (const auto& [os, method] : {std::pair{&kWin98, ReplaceMethod::kDeleteThenMove},
                                     std::pair{&kWinXp, ReplaceMethod::kMoveFileEx}}) {
        MemoryRegistry reg;
        FakeFolder folder;
        folder.files["old.dat"] = zvtest::Bytes(10, 0xEE);
        int asked = 0;
        const AskYesNo yes = [&](const std::string&) { return ++asked > 0; };
        const SavedFileOk ok = BackupOk(reg, *os, "old", folder, yes);
        EXPECT_TRUE(ok.done && ok.message.empty() && !ok.relist) << ok.message;
        EXPECT_EQ(folder.writes, std::vector<ReplaceMethod>{method});
        EXPECT_EQ(folder.files["old.dat"], TakeBackup(reg, FamilyOf(*os)).bytes);
        EXPECT_TRUE(BackupOk(reg, *os, "new", folder, yes).done);
        EXPECT_EQ(asked, 1) << "asked about a new name";
    }
}

TEST(BackupOk, FailuresAreToldAndLeaveTheWindowOpen) {
    MemoryRegistry tooLong;
    WriteRegString(tooLong, kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL", std::string(200, '9'));
    const struct {
        const char* name;
        bool valueTooLong, canMake;
        const char* writeError;
        const char* says;
        bool relist, focus;
    } cases[] = {
        {"nul", false, false, "", "for a device", false, true},
        {"b", false, false, "", "The backup folder \"C:\\Zarvelo\\backup\" could not be created. No backup has been written.",
         false, false},
        {"b", true, true, "", "No backup has been written.", false, false},
        {"b", false, true, "disk full", "disk full", true, false},
    };
    for (const auto& c : cases) {
        MemoryRegistry empty;
        FakeFolder folder;
        folder.canMake = c.canMake;
        folder.writeError = c.writeError;
        const SavedFileOk ok = BackupOk(c.valueTooLong ? tooLong : empty, kWin98, c.name, folder, nullptr);
        EXPECT_FALSE(ok.done) << c.says;
        EXPECT_EQ(ok.focusName, c.focus) << c.says;
        EXPECT_EQ(ok.relist, c.relist) << c.says;
        EXPECT_NE(ok.message.find(c.says), std::string::npos) << c.says << ": " << ok.message;
        EXPECT_TRUE(folder.files.empty()) << c.says;
    }
}

}  // namespace
}  // namespace zv
