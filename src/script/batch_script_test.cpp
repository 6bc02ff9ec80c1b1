#include "script/batch_script.h"

#include <gtest/gtest.h>

#include <set>

#include "script/backup_folders.h"
#include "script/script_test_support.h"
#include "test_support.h"

namespace {

const WideString kPolicySwitches =
    L" /s /purge /mir /fft /r:3 /w:5 /xjd /max:4294967296"
    L" /xf  *.bak  *.tmp  Thumbs.db  /xd  bak  .vs  _Backup_  _Search_  _Backup_ *.tmp ";

std::function<bool(const WideString&)> ExistingOnly(std::set<WideString> folders) {
    return [folders](const WideString& path) { return folders.count(path) != 0; };
}

TEST(FolderListScript, OneLinePerUsableFolderExactly) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const WideString script = FolderListScript(
        job, job.Context(), {L"C:\\Data\\Work", L"", L"C:\\Missing", L"C:\\Data\\Work", L"D:\\Docs"},
        ExistingOnly({L"C:\\Data\\Work", L"D:\\Docs"}));
    EXPECT_EQ(script,
              L"@echo off\r\n"
              L"\r\n"
              L"echo\trobocopy\r\n"
              L"echo.\r\n"
              L"echo\t\t\tC:\\Data\\Work\r\n"
              L"echo\t\t\tD:\\Docs\r\n"
              L"echo.\r\n"
              L"echo\t\t\tE:\\_Backup_\r\n"
              L"\r\n"
              L"@echo on\r\n"
              L"\r\n"
              L"cd /d \"%Temp%\"\r\n"
              L"timeout /t 10  &\trobocopy \"C:\\Data\\Work\" \"E:\\_Backup_\\PC01\\C\\Data\\Work\"" +
                  kPolicySwitches +
                  L"\r\n"
                  L"timeout /t 10  &\trobocopy \"D:\\Docs\" \"E:\\_Backup_\\PC01\\D\\Docs\"" +
                  kPolicySwitches +
                  L"\r\n"
                  L"timeout /t 100\r\n");
    EXPECT_EQ(job.Source(), L"D:\\Docs");
    EXPECT_EQ(ScriptFileNameFor(job), L"RC_D__Docs_E___Backup__smirfft.bat");
}

TEST(FolderListScript, NoUsableFolderAndListOnly) {
    FixedContextJob job;
    job.SetDestination(L"E:\\_Backup_");
    EXPECT_EQ(FolderListScript(job, job.Context(), {}, ExistingOnly({})),
              L"@echo off\r\n\r\necho\trobocopy\r\necho.\r\necho.\r\necho\t\t\tE:\\_Backup_\r\n"
              L"\r\n@echo on\r\n\r\ncd /d \"%Temp%\"\r\ntimeout /t 10\r\n");

    job.SetListOnly(true);
    job.SetSource(L"C:\\Data");
    const WideString script = FolderListScript(job, job.Context(), {L"C:\\Data"}, ExistingOnly({L"C:\\Data"}));
    EXPECT_NE(script.find(L"\r\necho\t\t\tE:\\_Backup_\r\necho.\r\necho\t\t" +
                          WideString(kListOnlyHelp) + L"\r\necho.\r\n\r\n@echo on\r\n"),
              kNoPosition)
        << script;
    EXPECT_NE(script.find(L" /l\r\n"), kNoPosition) << script;
    EXPECT_EQ(ScriptFileNameFor(job), L"RC_C__Data_E___Backup__sfftl.bat");
}

TEST(FolderListScript, PathsReachCmdExactly) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const WideString odd = L"C:\\Tom & Jerry (50% off) ^x";
    const WideString script = FolderListScript(job, job.Context(), {odd}, ExistingOnly({odd}));
    EXPECT_NE(script.find(L"\r\necho\t\t\tC:\\Tom ^& Jerry ^(50%% off^) ^^x\r\n"), kNoPosition)
        << script;
    EXPECT_NE(script.find(L"robocopy \"C:\\Tom & Jerry (50%% off) ^x\" "
                          L"\"E:\\_Backup_\\PC01\\C\\Tom & Jerry (50\\ off) ^x\""),
              kNoPosition)
        << script;
}

TEST(FolderListScript, AFolderCodePage932CannotCarryIsNamedNotCopied) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const WideString fine = L"C:\\\u30C7\u30FC\u30BF";     // katakana: in code page 932
    const WideString lost = L"C:\\Users\\Jos\u00E9\\\uD55C";  // an accented letter, Hangul
    ErrorStreamCapture errors;
    const WideString script = FolderListScript(job, job.Context(), {fine, lost}, ExistingOnly({fine, lost}));
    const WideString message =
        L"Can't back up " + lost +
        L" - the script's code page 932 cannot carry its path or its backup path";
    EXPECT_EQ(errors.Lines(), StringList{message});
    EXPECT_NE(script.find(L"\r\necho\t\t\t" + message + L"\r\n"), kNoPosition) << script;
    EXPECT_EQ(script.find(L"robocopy \"" + lost), kNoPosition);
    EXPECT_NE(script.find(L"robocopy \"" + fine + L"\""), kNoPosition);
    EXPECT_EQ(job.Source(), fine);

    FixedContextJob single;
    single.SetSource(lost);
    single.SetDestination(L"E:\\Copies");
    ErrorStreamCapture singleErrors;
    const WideString singleScript = SingleScript(single, single.Context());
    EXPECT_EQ(singleErrors.Lines(), StringList{message});
    EXPECT_EQ(singleScript.find(L"robocopy \""), kNoPosition) << singleScript;
    EXPECT_NE(singleScript.find(L"\r\necho " + message + L"\r\n"), kNoPosition) << singleScript;
}

TEST(FolderListScript, NoSpellingReachesOutsideItsOwnPlace) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const struct {
        const wchar_t* folder;
        const wchar_t* copiedAs;  // the source of its command line; empty when refused
    } cases[] = {
        {L"C:\\Data\\Work", L"\"C:\\Data\\Work\" \"E:\\_Backup_\\PC01\\C\\Data\\Work\""},
        {L"\\\\?\\C:\\x\\.\\y\\", L"\"C:\\x\\y\" \"E:\\_Backup_\\PC01\\C\\x\\y\""},
        {L"\\\\fs\\share\\Dept", L"\"\\\\fs\\share\\Dept\" \"E:\\_Backup_\\fs\\share\\Dept\""},
        {L".", L""},
        {L"C:.", L""},
        {L"C:\\%..%..%..%stick", L""},
        {L"C:\\Data\\Work%", L""},
        {L"\\\\fs\\C\\x", L""},
        {L"E:\\_Backup_\\PC01", L""},
        {L"e:\\", L""},
        {L"C:\\data\\..\\Data\\Work\\sub", L"\"C:\\Data\\Work\\sub\" \"E:\\_Backup_\\PC01\\C\\Data\\Work\\sub\""},
    };
    StringList folders;
    for (const auto& c : cases) folders.push_back(c.folder);
    ErrorStreamCapture errors;
    const auto any = [](const WideString&) { return true; };
    const WideString script = FolderListScript(job, job.Context(), folders, any);
    size_t refused = 0;
    for (const auto& c : cases) {
        if (*c.copiedAs != 0) {
            EXPECT_NE(script.find(L"&\trobocopy " + WideString(c.copiedAs) + L" /s "), kNoPosition)
                << c.folder << L"\n" << script;
            continue;
        }
        ++refused;
        EXPECT_NE(errors.Text().find(L"Can't back up " + WideString(c.folder) + L" - "), kNoPosition)
            << c.folder << L"\n" << errors.Text();
    }
    EXPECT_EQ(errors.Lines().size(), refused) << errors.Text();
    size_t commands = 0;
    for (size_t at = script.find(L"&\trobocopy "); at != kNoPosition; at = script.find(L"&\trobocopy ", at + 1)) {
        ++commands;
    }
    EXPECT_EQ(commands, folders.size() - refused) << script;
}

// Only mirrored folders are copied; a refused one is named in the script,
// and one whose backup the plan keeps is left out altogether.
TEST(FolderListScript, OnlyThePlansMirrorsGetACommand) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    std::vector<PlannedFolder> planned =
        ResolveBackupFolders(job, job.Context(), {L"C:\\a", L"C:\\b", L"C:\\c", L"C:\\d", L"\\\\fs\\C\\x"},
                             [](const WideString&) { return true; });
    ASSERT_EQ(planned.size(), 5u);
    EXPECT_EQ(planned[4].fate, FolderFate::Refused);
    planned[1].fate = FolderFate::KeptNoRoom;
    planned[2].fate = FolderFate::KeptEmptied;
    planned[3].fate = FolderFate::Unreadable;
    const WideString script = FolderListScript(job, planned);
    EXPECT_NE(script.find(L"\r\necho\t\t\tC:\\a\r\necho\t\t\tCan't back up \\\\fs\\C\\x - "), kNoPosition)
        << script;
    EXPECT_NE(script.find(L"&\trobocopy \"C:\\a\" \"E:\\_Backup_\\PC01\\C\\a\" /s /purge /mir "), kNoPosition);
    for (const wchar_t* kept : {L"C:\\b", L"C:\\c", L"C:\\d"}) {
        EXPECT_EQ(script.find(kept), kNoPosition) << kept;
    }
    EXPECT_EQ(job.Source(), L"C:\\a");
}

// A folder configured inside another one's backup is refused, and that
// other folder is copied without deleting, so its mirror cannot purge it.
TEST(FolderListScript, AFolderInsideAnotherOnesBackupIsNotPurged) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const std::vector<PlannedFolder> planned = ResolveBackupFolders(
        job, job.Context(), {L"C:\\hostdata\\master", L"E:\\_Backup_\\PC01\\C\\hostdata\\master\\keep", L"C:\\other"},
        [](const WideString&) { return true; });
    ASSERT_EQ(planned.size(), 3u);
    EXPECT_EQ(planned[1].fate, FolderFate::Refused);
    EXPECT_EQ(planned[0].holds, L"E:\\_Backup_\\PC01\\C\\hostdata\\master\\keep");
    EXPECT_EQ(planned[0].commandLine.find(L"/purge"), kNoPosition) << planned[0].commandLine;
    EXPECT_EQ(planned[0].commandLine.find(L"/mir"), kNoPosition) << planned[0].commandLine;
    EXPECT_NE(planned[2].commandLine.find(L" /purge /mir "), kNoPosition) << planned[2].commandLine;
    // Its copy leaves the held folder and the source's twin of it out; so do its plan and check.
    const WideString line = planned[0].commandLine;
    EXPECT_EQ(line.substr(line.size() - 71),
              L"/xd \"C:\\hostdata\\master\\keep\" \"E:\\_Backup_\\PC01\\C\\hostdata\\master\\keep\"");
    EXPECT_EQ(planned[0].skippedFolders, StringList{L"keep"});
    PlannedFolder holder = planned[0];
    holder.before.files = 1;
    holder.before.deleted = {{L"keep\\kept.txt", 1}};
    DecideFate(&holder);
    EXPECT_TRUE(holder.before.deleted.empty());
}

TEST(SingleScript, ShortAndLongFinalPause) {
    FixedContextJob job;
    job.SetSource(L"C:\\Data\\Work");
    job.SetDestination(L"E:\\Copies");
    EXPECT_EQ(SingleScript(job, job.Context()),
              L"rem\trobocopy\tC:\\Data\\Work\r\n"
              L"rem\t\t\t\r\n"
              L"rem\r\n"
              L"cd /d \"%Temp%\"\r\n"
              L"robocopy \"C:\\Data\\Work\" \"E:\\Copies\" /s /purge /fft /r:3 /w:5 /xo /xjd"
              L" /xf  mfc*.tmp  Thumbs.db  \r\n"
              L"timeout /t 10\r\n");

    job.SetLongFinalPause(true);
    job.SetListOnly(true);
    EXPECT_EQ(SingleScript(job, job.Context()),
              L"rem\trobocopy\tC:\\Data\\Work\r\n"
              L"rem\t\t\t" + WideString(kListOnlyHelp) + L"\r\n"
              L"rem\r\n"
              L"cd /d \"%Temp%\"\r\n"
              L"timeout /t 10\r\n"
              L"robocopy \"C:\\Data\\Work\" \"E:\\Copies\" /s /purge /fft /r:3 /w:5 /xo /xjd"
              L" /xf  mfc*.tmp  Thumbs.db   /l\r\n"
              L"timeout /t 100\r\n");
}

TEST(ScriptFileName, OptionLettersAndUnfitCharacters) {
    BackupJob job;
    job.SetSource(L"C:\\Data\\Work");
    job.SetDestination(L"E:\\_Backup_");
    job.SetFatTimes(false);
    EXPECT_EQ(ScriptFileNameFor(job), L"RC_C__Data_Work_E___Backup__s.bat");
    job.SetSubdirectories(false);
    EXPECT_EQ(ScriptFileNameFor(job), L"RC_C__Data_Work_E___Backup__.bat");
    job.SetSource(L"C:\\a,b%c");
    EXPECT_EQ(ScriptFileNameFor(job), L"RC_C__a.b-c_E___Backup__.bat");
    job.SetSource(L"C:\\Users\\someone\\Documents\\Projects\\2024\\Customer files\\Archive");
    job.SetDestination(L"E:\\");
    EXPECT_EQ(ScriptFileNameFor(job),
              L"RC_C__Users_..._Projects_2024_Customer_files_Archive_E___.bat");
    EXPECT_EQ(job.ScriptFileName(), ScriptFileNameFor(job));
}

TEST(ShortenPath, Examples) {
    const WideString local = L"C:\\Users\\someone\\Documents\\Projects\\2024\\Customer files\\Archive";
    const WideString unc = L"\\\\fileserver\\share\\department\\accounting\\2024\\Quarterly";
    EXPECT_EQ(ShortenPath(local, 50), L"C:\\Users\\...\\Projects\\2024\\Customer files\\Archive");
    EXPECT_EQ(ShortenPath(local, 30), L"C:\\Users\\...\\Archive");
    EXPECT_EQ(ShortenPath(local, 63), local);
    EXPECT_EQ(ShortenPath(local, 5), L"Archive");
    EXPECT_EQ(ShortenPath(unc, 50), L"\\\\fileserver\\share\\...\\accounting\\2024\\Quarterly");
    EXPECT_EQ(ShortenPath(unc, 30), L"Quarterly");
    EXPECT_EQ(ShortenPath(local + L"\\", 30), L"C:\\Users\\...\\Archive\\");
    EXPECT_EQ(ShortenPath(L"", 0), L"");
    EXPECT_EQ(ShortenPath(L"C:\\", 0), L"C:\\");
}

TEST(SafeFileNameText, ReplacesEachUnfitCharacter) {
    EXPECT_EQ(SafeFileNameText(L"\t\n\r\",;| /:?\\#%*<>aZ9.-"), L"......._____--x()aZ9.-");
}

TEST(JoinLines, EndsEveryLine) {
    EXPECT_EQ(JoinLines({}), L"\r\n");
    EXPECT_EQ(JoinLines({L"a", L"", L"b"}), L"a\r\n\r\nb\r\n");
}

}  // namespace
