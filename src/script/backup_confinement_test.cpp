#include "script/backup_confinement.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kBackup[] = L"E:\\_Backup_";

TEST(BackupConfinement, EachSourceHasItsOwnPlace) {
    EXPECT_EQ(BackupPlaceOf(L"C:\\Data", kBackup, L"PC01"), L"E:\\_Backup_\\PC01\\C");
    EXPECT_EQ(BackupPlaceOf(L"\\\\fs\\share\\x", kBackup, L"PC01"), L"E:\\_Backup_\\fs\\share");
    EXPECT_EQ(BackupPlaceOf(L"\\\\fs\\share", kBackup, L"PC01"), L"E:\\_Backup_\\fs\\share");
    // A one-letter share would land in computer FS's folder of drive C:.
    EXPECT_EQ(BackupPlaceOf(L"\\\\fs\\C\\x", kBackup, L"PC01"), L"");
    for (const wchar_t* computer : {L"", L".", L"..", L"a\\b", L"x:y"}) {
        EXPECT_EQ(BackupPlaceOf(L"C:\\Data", kBackup, computer), L"") << computer;
    }
}

TEST(BackupConfinement, DestinationsStayStrictlyInsideTheirPlace) {
    const struct {
        const wchar_t* source;
        const wchar_t* destination;
        bool accepted;
    } cases[] = {
        {L"C:\\Data\\Work", L"E:\\_Backup_\\PC01\\C\\Data\\Work", true},
        {L"\\\\fs\\share\\Dept", L"E:\\_Backup_\\fs\\share\\Dept", true},
        {L"\\\\fs\\share", L"E:\\_Backup_\\fs\\share", false},
        {L"\\\\fs\\C\\x", L"E:\\_Backup_\\fs\\C\\x", false},
        {L"C:\\", L"E:\\_Backup_\\PC01\\C", false},
        {L"C:\\x", L"E:\\_Backup_\\PC01\\D\\x", false},
        {L"C:\\x", L"E:\\_Backup_\\PC02\\C\\x", false},
        {L"C:\\x", L"E:\\stickdata", false},
        {L"C:\\x", L"E:\\_Backup_", false},
        // Sources inside the backup, or holding it.
        {L"E:\\_Backup_\\PC01\\C\\x", L"E:\\_Backup_\\PC01\\E\\_Backup_\\PC01\\C\\x", false},
        {L"e:\\_backup_", L"E:\\_Backup_\\PC01\\E\\_backup_", false},
        {L"E:\\", L"E:\\_Backup_\\PC01\\E", false},
        {L"E:\\data", L"E:\\_Backup_\\PC01\\E\\data", true},
        // Sources among the earlier versions beside the backup.
        {L"E:\\_Versions_\\PC01", L"E:\\_Backup_\\PC01\\E\\_Versions_\\PC01", false},
        {L"E:\\_Versions_x", L"E:\\_Backup_\\PC01\\E\\_Versions_x", true},
    };
    for (const auto& c : cases) {
        const WideString problem = ConfinementProblem(c.source, c.destination, kBackup, L"PC01");
        EXPECT_EQ(problem.empty(), c.accepted) << c.source << L" -> " << c.destination << L": " << problem;
    }
}

}  // namespace
