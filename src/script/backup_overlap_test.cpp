#include "script/backup_overlap.h"

#include <gtest/gtest.h>

#include "script/backup_folders.h"
#include "script/batch_script.h"
#include "script_test_support.h"
#include "test_support.h"

namespace {

CopyFolders Copy(const wchar_t* source) {
    FixedContextJob job;
    job.SetDestination(L"E:\\_Backup_");
    job.SetSource(source);
    return ResolveCopyFolders(job, job.Context());
}

TEST(BackupOverlap, FoldersWhoseBackupsWouldPurgeEachOther) {
    const struct {
        const wchar_t* earlier;
        const wchar_t* later;
        bool clash;
    } cases[] = {
        {L"C:\\100%\\x", L"C:\\100\\x", true},     // the same backup folder
        {L"C:\\100", L"C:\\100%\\x", true},        // inside the other's backup, not its source
        {L"C:\\100%\\x", L"C:\\100", true},
        {L"C:\\Data", L"C:\\data", false},         // the same folder in another letter case
        {L"C:\\Data", L"C:\\Data\\", false},
        {L"C:\\KORV", L"C:\\KORV\\Data", false},   // nested alike on both sides
        {L"C:\\KORV\\Data", L"C:\\KORV", false},
        {L"C:\\", L"C:\\Data", false},
        {L"C:\\Data", L"C:\\Data2", false},
        {L"\\\\srv\\share\\x", L"C:\\x", false},
        {L"C:\\a%b", L"C:\\a\\b", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BackupFoldersClash(Copy(c.earlier), Copy(c.later)), c.clash)
            << c.earlier << " / " << c.later;
        BackupFolderRegister backups;
        EXPECT_EQ(backups.Accept(Copy(c.earlier)), L"");
        EXPECT_EQ(backups.Accept(Copy(c.later)), c.clash ? StripQuotes(c.earlier) : L"")
            << c.earlier << " / " << c.later;
    }
}

TEST(BackupOverlap, TheScriptCopiesOnlyTheFirstOfClashingFolders) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const std::vector<PlannedFolder> planned = ResolveBackupFolders(
        job, job.Context(), {L"C:\\100%\\x", L"C:\\100\\x", L"C:\\other"}, [](const WideString&) { return true; });
    const WideString script = FolderByFolderScript(job, planned, L"C:\\t\\", L"\\\\.\\pipe\\p");
    const WideString message = L"Can't back up C:\\100\\x - its backup folder "
                               L"E:\\_Backup_\\PC01\\C\\100\\x would overlap the backup of C:\\100%\\x";
    ASSERT_EQ(planned.size(), 3u);
    EXPECT_EQ(RefusalMessage(planned[1]), message);
    EXPECT_NE(script.find(L"\r\necho\t\t\tC:\\100%%\\x\r\necho\t\t\tCan't back up C:\\100\\x - its "
                          L"backup folder E:\\_Backup_\\PC01\\C\\100\\x would overlap the backup of "
                          L"C:\\100%%\\x\r\necho\t\t\tC:\\other\r\n"),
              kNoPosition)
        << script;
    EXPECT_NE(script.find(L"robocopy \"C:\\100%%\\x\""), kNoPosition);
    EXPECT_EQ(script.find(L"robocopy \"C:\\100\\x\""), kNoPosition);
    EXPECT_NE(script.find(L"robocopy \"C:\\other\""), kNoPosition);
}

}  // namespace
