// The Backup and Restore windows' OK over a folder kept in memory: what the Windows tests cannot
// bring about (a folder that cannot be made, a write or read that fails, a refused change) and the
// replace method each family gets.
#include <gtest/gtest.h>

#include <map>

#include "backup/backup_restore.h"
#include "backup/saved_file_commands.h"
#include "platform/registry_helpers.h"
#include "unit/family_query.h"
#include "unit/tuning_support.h"

namespace zv {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FakeFolder final : public BackupFolderFiles {
public:
    std::map<std::string, Bytes> files;
    bool canMake = true;
    std::string readError, writeError;
    std::vector<ReplaceMethod> writes;

    std::string Folder() const override { return "C:\\Zarvelo\\backup"; }
    bool EnsureFolder() override { return canMake; }
    bool Exists(const std::string& file) override { return files.count(file) > 0; }
    std::optional<Bytes> Read(const std::string& file, std::string* error) override {
        if (!readError.empty()) {
            *error = readError;
            return Bytes{};
        }
        if (!files.count(file)) return std::nullopt;
        return files[file];
    }
    std::string WriteWhole(const std::string& file, const std::string&, const Bytes& bytes,
                           ReplaceMethod method) override {
        writes.push_back(method);
        if (!writeError.empty()) return writeError;
        files[file] = bytes;
        return {};
    }
};

const COpSysInfo kWin98(zvtest::FamilyQuery(WindowsFamily::Win98));
const COpSysInfo kWinXp(zvtest::FamilyQuery(WindowsFamily::WinXP));

TEST(BackupOk, ReplacesAfterYesByTheFamilysMethod) {
    for (const auto& [os, method] : {std::pair{&kWin98, ReplaceMethod::kDeleteThenMove},
                                     std::pair{&kWinXp, ReplaceMethod::kMoveFileEx}}) {
        MemoryRegistry reg;
        FakeFolder folder;
        folder.files["old.dat"] = Bytes(10, 0xEE);
        int asked = 0;
        const SavedFileOk ok = BackupOk(reg, *os, "old", folder, [&](const std::string&) { return ++asked > 0; });
        EXPECT_TRUE(ok.done && ok.message.empty() && !ok.relist) << ok.message;
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(folder.writes, std::vector<ReplaceMethod>{method});
        EXPECT_EQ(folder.files["old.dat"], TakeBackup(reg, FamilyOf(*os)).bytes);
        // A new name is written without a question.
        EXPECT_TRUE(BackupOk(reg, *os, "new", folder, nullptr).done);
        EXPECT_EQ(asked, 1);
    }
}

TEST(BackupOk, FailuresAreToldAndLeaveTheWindowOpen) {
    MemoryRegistry tooLong;
    WriteRegString(tooLong, kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL", std::string(200, '9'));
    const struct {
        const char* what;
        MemoryRegistry* reg;
        bool canMake;
        std::string writeError;
        std::string says;
        bool relist;
    } cases[] = {
        {"no folder", nullptr, false, "", "The backup folder \"C:\\Zarvelo\\backup\" could not be created. No backup "
                                          "has been written.", false},
        {"a value too long", &tooLong, true, "", "No backup has been written.", false},
        {"a failed write", nullptr, true, "disk full", "disk full", true},
    };
    for (const auto& c : cases) {
        MemoryRegistry empty;
        FakeFolder folder;
        folder.canMake = c.canMake;
        folder.writeError = c.writeError;
        const SavedFileOk ok = BackupOk(c.reg ? *c.reg : empty, kWin98, "b", folder, nullptr);
        EXPECT_FALSE(ok.done) << c.what;
        EXPECT_FALSE(ok.focusName) << c.what;
        EXPECT_EQ(ok.relist, c.relist) << c.what;
        EXPECT_NE(ok.message.find(c.says), std::string::npos) << c.what << ": " << ok.message;
        EXPECT_TRUE(folder.files.empty()) << c.what;
    }
}

TEST(SavedFileOk, ARefusedNameTakesTheFocusBackAndTouchesNothing) {
    MemoryRegistry reg;
    WriteRegString(reg, kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL", "64");
    const std::string before = reg.Dump();
    FakeFolder folder;
    folder.canMake = false;
    const SavedFileOk backup = BackupOk(reg, kWin98, "nul", folder, nullptr);
    const SavedFileOk restore = RestoreOk(reg, kWin98, "a*b", folder);
    for (const SavedFileOk& ok : {backup, restore}) {
        EXPECT_TRUE(ok.focusName && !ok.done && !ok.message.empty());
    }
    EXPECT_TRUE(folder.writes.empty());
    EXPECT_EQ(reg.Dump(), before);
}

TEST(RestoreOk, AnUnreadableFileChangesNothingAndRefusedChangesAreCounted) {
    MemoryRegistry reg;
    WriteRegString(reg, kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL", "64");
    FakeFolder folder;
    folder.files["b.dat"] = TakeBackup(reg, WindowsFamily::Win98).bytes;
    WriteRegString(reg, kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL", "128");
    const std::string changed = reg.Dump();

    folder.readError = "The backup file could not be read. Nothing has been changed.";
    SavedFileOk ok = RestoreOk(reg, kWin98, "b", folder);
    EXPECT_EQ(ok.message, folder.readError);
    EXPECT_FALSE(ok.done);
    EXPECT_EQ(reg.Dump(), changed);

    folder.readError.clear();
    reg.SetReadOnly(true);
    ok = RestoreOk(reg, kWin98, "b", folder);
    EXPECT_TRUE(ok.done) << "the progress follows the message";
    EXPECT_EQ(ok.message, RefusedRestoreMessage(reg.FailedChanges()));
    EXPECT_EQ(ok.message.substr(0, ok.message.find(" could")),
              std::to_string(reg.FailedChanges()) + " settings");
}

}  // namespace
}  // namespace zv
