#include "script/command_line.h"

#include <gtest/gtest.h>

#include "script_test_support.h"
#include "test_support.h"

namespace {

const WideString kPolicyTail =
    L" /s /purge /mir /fft /r:3 /w:5 /xjd /max:4294967295"
    L" /xf  *.bak  *.tmp  Thumbs.db  *.brisk-restoring  /xd  bak  .vs  _Backup_  _Search_  _Backup_ *.tmp ";

TEST(CommandLine, TheBackupPolicyLineForOneFolder) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    job.SetSource(L"C:\\Data\\Work");
    EXPECT_EQ(job.CommandLine(),
              L"robocopy \"C:\\Data\\Work\" \"E:\\_Backup_\\PC01\\C\\Data\\Work\"" + kPolicyTail);
}

TEST(CommandLine, EveryElementInTableOrder) {
    FixedContextJob job;
    job.SetSource(L"C:\\src");
    job.SetDestination(L"D:\\dst");
    job.SetFileSpecs(L"*.doc *.xls");
    job.SetMirror(true);
    job.SetExcludeExtra(true);
    job.SetMaxAgeOption(true);
    job.SetMinAgeOption(true);
    job.SetMinAge(7);
    job.SetMinSizeOption(true);
    job.SetMinSize(10);
    job.SetMaxSizeOption(true);
    job.SetExcludeDirsOption(true);
    job.SetExcludedDirs(L" x");
    job.SetExtraOptions(L"/np");
    job.SetListOnly(true);
    job.SetRetryCount(0);
    EXPECT_EQ(job.CommandLine(),
              L"robocopy \"C:\\src\" \"D:\\dst\" *.doc *.xls /s /purge /mir /fft /r:0 /w:5 /xo /xx"
              L" /xjd /maxage:19700101 /minage:7 /min:10 /max:1099511627776"
              L" /xf  mfc*.tmp  Thumbs.db  *.brisk-restoring  /xd  x /np /l");

    FixedContextJob bare;
    bare.SetSource(L"C:\\src");
    bare.SetDestination(L"D:\\dst");
    for (auto set : {&BackupJob::SetSubdirectories, &BackupJob::SetPurge, &BackupJob::SetFatTimes,
                     &BackupJob::SetRetryOption, &BackupJob::SetWaitOption,
                     &BackupJob::SetExcludeOlder, &BackupJob::SetExcludeJunctions,
                     &BackupJob::SetExcludeFilesOption}) {
        (bare.*set)(false);
    }
    // The restore's temporary files are left out even without a list of the job's own.
    EXPECT_EQ(bare.CommandLine(), L"robocopy \"C:\\src\" \"D:\\dst\" /xf  *.brisk-restoring  ");
}

TEST(CommandLine, EmptyFoldersUseTheWorkFolderAndLimitTheDepth) {
    FixedContextJob job;
    EXPECT_EQ(job.CommandLine(),
              L"robocopy \"C:\\users\\u1\\Temp\\Quillon.tmp\" "
              L"\"C:\\users\\u1\\Temp\\Quillon.tmp\\_Backup_\\PC01\\C\\users\\u1\\Temp\\Quillon.tmp\""
              L" /s /purge /fft /r:3 /w:5 /xo /xjd /xf  mfc*.tmp  Thumbs.db  *.brisk-restoring   /lev:3");
}

TEST(CommandLine, ADriveRootStaysTheRoot) {
    FixedContextJob job;
    job.SetSource(L"E:\\");
    job.SetDestination(L"E:\\_Backup_");
    job.SetListOnly(true);
    const WideString line = job.CommandLine();
    EXPECT_TRUE(StartsWith(line, L"robocopy \"E:\\.\" \"E:\\_Backup_\\PC01\\E\" /s /purge ")) << line;
    EXPECT_TRUE(EndsWith(line, L" Thumbs.db  *.brisk-restoring   /l /lev:3")) << line;

    job.SetSource(L"C:\\Data");
    job.SetDestination(L"F:\\");
    EXPECT_TRUE(StartsWith(job.CommandLine(), L"robocopy \"C:\\Data\" \"F:\\.\" /s ")) << job.CommandLine();
}

TEST(CommandLine, DestinationForms) {
    FixedContextJob job;
    job.SetSource(L"'C:\\Data'");
    job.SetDestination(L"E:\\_BACKUP_");
    EXPECT_TRUE(StartsWith(job.CommandLine(), L"robocopy \"C:\\Data\" \"E:\\_BACKUP_\\PC01\\C\\Data\" /s "));
    job.SetSource(L"\"\"C:\\Data\"\"");
    job.SetDestination(L"E:\\_Backup_\\");
    EXPECT_TRUE(StartsWith(job.CommandLine(), L"robocopy \"C:\\Data\" \"E:\\_Backup_\" /s "));
    job.SetSource(L"C:\\100%\\x");
    job.SetDestination(L"E:\\_Backup_");
    EXPECT_TRUE(StartsWith(job.CommandLine(),
                           L"robocopy \"C:\\100%\\x\" \"E:\\_Backup_\\PC01\\C\\100\\x\" /s "));
}

TEST(MirrorDestination, Examples) {
    EXPECT_EQ(MirrorDestinationFor(L"C:\\Data\\Work", L"E:\\_Backup_", L"PC01"),
              L"E:\\_Backup_\\PC01\\C\\Data\\Work");
    EXPECT_EQ(MirrorDestinationFor(L"\\\\fileserver\\share\\Dept", L"E:\\_backup_", L"PC01"),
              L"E:\\_backup_\\fileserver\\share\\Dept");
    EXPECT_EQ(MirrorDestinationFor(L"C:\\", L"E:\\_Backup_", L"PC01"), L"E:\\_Backup_\\PC01\\C");
    EXPECT_EQ(MirrorDestinationFor(L"C:\\x", L"E:\\Copies", L"PC01"), L"E:\\Copies");
    EXPECT_EQ(MirrorDestinationFor(L"C:/a/b/", L"\"E:\\_Backup_\"", L"PC01"),
              L"E:\\_Backup_\\PC01\\C\\a\\b");
}

TEST(StripQuotes, RemovesMatchingPairsOnly) {
    const struct {
        const wchar_t* text;
        const wchar_t* stripped;
    } cases[] = {
        {L"\"C:\\Data\"", L"C:\\Data"}, {L"\"'C:\\Data'\"", L"C:\\Data"}, {L"\"\"", L""},
        {L"''''''", L"''"},             {L"\"C:\\Data'", L"\"C:\\Data'"}, {L"\"", L"\""},
        {L"", L""},                     {L"plain", L"plain"},             {L"'a'", L"a"},
    };
    for (const auto& c : cases) EXPECT_EQ(StripQuotes(c.text), c.stripped) << c.text;
}

TEST(ComputerName, IsNotEmptyHere) { EXPECT_FALSE(ComputerName().empty()); }

}  // namespace
