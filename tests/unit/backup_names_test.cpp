// Backup file names: the refusals, the proposed name, FileExist and the saved-files list.
#include <gtest/gtest.h>

#include "backup/backup_names.h"

namespace zv {
namespace {

TEST(BackupNames, RefuseWhatCannotBeAFileInTheBackupFolder) {
    const char* refused[] = {
        "", " ", "   ", "a\\b", "a/b", "c:x", "a*", "what?", "say\"hi\"", "<x>", "a|b", "tab\there", "nl\n",
        "\x7f", ".", "..", "...", "CON", "con", "Con.txt", "PRN", "AUX", "NUL", "nul.dat", "COM1", "com9",
        "LPT1", "lpt9.backup", "CON .x", "AUX ", "..\\evil",
    };
    for (const char* name : refused) {
        auto why = RefuseBackupName(name);
        ASSERT_TRUE(why.has_value()) << "'" << name << "' was accepted";
        EXPECT_FALSE(why->empty()) << name;
    }
    EXPECT_TRUE(RefuseBackupName(std::string(252, 'a')).has_value()) << "too long with .dat";
}

TEST(BackupNames, AcceptOrdinaryNames) {
    const char* accepted[] = {
        "12_7_2026_1", "before optimizing", "a.b", "CONSOLE", "COM10", "COM0", "LPT", "xCON", ".hidden",
        "name.", "notes", "\xe9t\xe9",  // ANSI letters beyond ASCII
    };
    for (const char* name : accepted) {
        EXPECT_FALSE(RefuseBackupName(name).has_value()) << "'" << name << "': " << *RefuseBackupName(name);
    }
    EXPECT_FALSE(RefuseBackupName(std::string(251, 'a')).has_value());
    EXPECT_NE(RefuseBackupName("LPT3")->find("LPT3"), std::string::npos) << "the message names the name";
}

TEST(BackupNames, ProposeTheDateWithTheFirstFreeNumber) {
    EXPECT_EQ(ProposeBackupName("12.7.2026", {}), "12_7_2026_1");
    EXPECT_EQ(ProposeBackupName("12/7/2026", {"12_7_2026_1.dat"}), "12_7_2026_2");
    EXPECT_EQ(ProposeBackupName("2026-12-07", {"a.dat", "2026-12-07_2.dat", "2026-12-07_1.dat"}), "2026-12-07_3");
    // The first free number, not one past the highest.
    EXPECT_EQ(ProposeBackupName("1.2.26", {"1_2_26_2.dat", "1_2_26_3.dat"}), "1_2_26_1");
    // Entries are compared exactly, case included, and with ".dat".
    EXPECT_EQ(ProposeBackupName("1.2.26", {"1_2_26_1", "1_2_26_1.DAT", "1_2_26_1.dat.tmp"}), "1_2_26_1");
}

TEST(BackupNames, FileExistLooksFromTheGivenEntryOnAndConsumesTheListing) {
    DirectoryListing listing({"a.dat", "b.dat", "c.dat"});
    auto first = listing.Next();
    auto second = listing.Next();
    EXPECT_FALSE(FileExist(second, listing, "a.dat")) << "entries before the given one are not looked at";
    EXPECT_FALSE(listing.Next().has_value()) << "the rest of the listing is consumed";

    DirectoryListing again({"a.dat", "b.dat", "c.dat"});
    EXPECT_TRUE(FileExist(again.Next(), again, "b.dat"));
    EXPECT_FALSE(again.Next().has_value()) << "consumed even when found early";

    DirectoryListing none({});
    EXPECT_FALSE(FileExist(none.Next(), none, ""));
    (void)first;
}

TEST(BackupNames, ListSavedFilesByTheirLastThreeCharacters) {
    std::vector<std::string> folder = {".", "..", "12_7_2026_1.dat", "notesdat", "OLD.DAT", "x.Dat",
                                       "readme.txt", "a.dat.tmp", "b.dat", ".dat", "dat", "zdat"};
    std::vector<std::string> want = {"12_7_2026_1", "note", "b"};
    EXPECT_EQ(SavedFileList(folder), want);
}

TEST(BackupNames, WriteFirstUnderANameThatIsNeverListed) {
    std::string temp = TemporaryBackupName("12_7_2026_1");
    EXPECT_NE(temp, "12_7_2026_1.dat");
    EXPECT_TRUE(SavedFileList({temp}).empty()) << temp;
    EXPECT_LE(TemporaryBackupName(std::string(kMaxBackupNameLength, 'a')).size(), 255u);
}

}  // namespace
}  // namespace zv
