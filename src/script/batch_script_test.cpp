#include "script/batch_script.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "script/backup_folders.h"
#include "script_test_support.h"
#include "test_support.h"
#include "text/messages.h"

namespace {

const WideString kPolicySwitches =
    L" /s /purge /mir /fft /r:3 /w:5 /xjd /max:4294967295"
    L" /xf  *.bak  *.tmp  Thumbs.db  *.brisk-restoring  /xd  bak  .vs  _Backup_  _Search_  _Backup_ *.tmp ";

std::function<bool(const WideString&)> ExistingOnly(std::set<WideString> folders) {
    return [folders](const WideString& path) { return folders.count(path) != 0; };
}

const WideString kScriptFolder = L"C:\\users\\u1\\Temp\\Quillon.tmp\\brisk\\";
const WideString kPipe = L"\\\\.\\pipe\\brisk-1-2";

// The script of a folder list, as a run makes it.
WideString ScriptOf(CopySettings& job, const StringList& folders,
                    const std::function<bool(const WideString&)>& isDirectory, std::vector<PlannedFolder>* planned) {
    *planned = ResolveBackupFolders(job, FixedContextJob::FixedContext(), folders, isDirectory);
    return FolderByFolderScript(job, *planned, kScriptFolder, kPipe);
}

// The check of the folder before, once the pause that read its copies is
// over: each "again" copies one file once more; "next" goes on.
WideString CheckOfPrevious(size_t number, const WideString& goOn) {
    const WideString back = L"brisk_back_" + std::to_wstring(number);
    return L":" + back + L"\r\n@set brisk_go=\r\n@set /p brisk_go=<\"" + kPipe + L"\"\r\n@if not \"%brisk_go%\"==\"again\" goto " +
           goOn + L"\r\n@set brisk_file=\r\n@set /p brisk_file=<\"" + kPipe +
           L"\"\r\nrobocopy %brisk_file% /r:3 /w:5\r\n@goto " + back + L"\r\n";
}

// One folder's part of the script: the pause, the check of the folder
// before, the program's word, the copy, its end.
WideString FolderSection(size_t number, const WideString& command) {
    const WideString ask = L"@set /p brisk_go=<\"" + kPipe + L"\"\r\n";
    const WideString n = std::to_wstring(number);
    const WideString after = L"brisk_after_" + n;
    WideString section = L"timeout /t 10\r\n";
    if (number > 1) {
        section += CheckOfPrevious(number - 1, L"brisk_go_" + n) + L":brisk_go_" + n +
                   L"\r\n@if not \"%brisk_go%\"==\"next\" goto :eof\r\n";
    }
    return section + L"@set brisk_go=\r\n" + ask + L"@if not \"%brisk_go%\"==\"copy\" goto " + after +
           L"\r\n@set brisk_xd=\r\n@set /p brisk_xd=<\"" + kPipe + L"\"\r\n" + command +
           L" %brisk_xd%\r\n@>brisk_copy_rc.txt echo %errorlevel%\r\n@set brisk_go=\r\n" + ask + L":" + after +
           L"\r\n@if not \"%brisk_go%\"==\"on\" if not \"%brisk_go%\"==\"skip\" goto :eof\r\n";
}

TEST(FolderByFolderScript, OneSectionPerUsableFolderExactly) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    std::vector<PlannedFolder> planned;
    const WideString script = ScriptOf(
        job, {L"C:\\Data\\Work", L"", L"C:\\Missing", L"C:\\Data\\Work", L"D:\\Docs"},
        ExistingOnly({L"C:\\Data\\Work", L"D:\\Docs"}), &planned);
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
              L"cd /d \"C:\\users\\u1\\Temp\\Quillon.tmp\\brisk\"\r\n" +
                  FolderSection(1, L"robocopy \"C:\\Data\\Work\" \"E:\\_Backup_\\PC01\\C\\Data\\Work\"" +
                                       kPolicySwitches) +
                  FolderSection(2, L"robocopy \"D:\\Docs\" \"E:\\_Backup_\\PC01\\D\\Docs\"" + kPolicySwitches) +
                  L"timeout /t 100\r\n" + CheckOfPrevious(2, L"brisk_end") + L":brisk_end\r\n");
    job.SetSource(L"D:\\Docs");
    EXPECT_EQ(ScriptFileNameFor(job), L"RC_D__Docs_E___Backup__smirfft.bat");
}

TEST(FolderByFolderScript, NoUsableFolderAndListOnly) {
    FixedContextJob job;
    job.SetDestination(L"E:\\_Backup_");
    std::vector<PlannedFolder> planned;
    EXPECT_EQ(ScriptOf(job, {}, ExistingOnly({}), &planned),
              L"@echo off\r\n\r\necho\trobocopy\r\necho.\r\necho.\r\necho\t\t\tE:\\_Backup_\r\n"
              L"\r\n@echo on\r\n\r\ncd /d \"C:\\users\\u1\\Temp\\Quillon.tmp\\brisk\"\r\ntimeout /t 10\r\n");

    job.SetListOnly(true);
    const WideString script = ScriptOf(job, {L"C:\\Data"}, ExistingOnly({L"C:\\Data"}), &planned);
    EXPECT_NE(script.find(L"\r\necho\t\t\tE:\\_Backup_\r\necho.\r\necho\t\t" +
                          Say(Message::ListOnlyHelp) + L"\r\necho.\r\n\r\n@echo on\r\n"),
              kNoPosition)
        << script;
    EXPECT_NE(script.find(L" /l %brisk_xd%\r\n"), kNoPosition) << script;
    job.SetSource(L"C:\\Data");
    EXPECT_EQ(ScriptFileNameFor(job), L"RC_C__Data_E___Backup__sfftl.bat");
}

TEST(FolderByFolderScript, PathsReachCmdExactly) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const WideString odd = L"C:\\Tom & Jerry (50% off) ^x";
    std::vector<PlannedFolder> planned;
    const WideString script = ScriptOf(job, {odd}, ExistingOnly({odd}), &planned);
    EXPECT_NE(script.find(L"\r\necho\t\t\tC:\\Tom ^& Jerry ^(50%% off^) ^^x\r\n"), kNoPosition)
        << script;
    EXPECT_NE(script.find(L"\r\nrobocopy \"C:\\Tom & Jerry (50%% off) ^x\" "
                          L"\"E:\\_Backup_\\PC01\\C\\Tom & Jerry (50\\ off) ^x\""),
              kNoPosition)
        << script;
    // The script's own folder is quoted and its '%' doubled too.
    EXPECT_NE(FolderByFolderScript(job, {}, L"C:\\a 100% & b\\", kPipe).find(L"cd /d \"C:\\a 100%% & b\"\r\n"),
              kNoPosition);
}

TEST(FolderByFolderScript, AFolderTheCodePageCannotCarryIsNamedNotCopied) {
    FixedContextJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const WideString fine = L"C:\\\u30C7\u30FC\u30BF";     // katakana: in code page 932
    const WideString lost = L"C:\\Users\\Jos\u00E9\\\uD55C";  // an accented letter, Hangul
    std::vector<PlannedFolder> planned;
    const WideString script = ScriptOf(job, {fine, lost}, ExistingOnly({fine, lost}), &planned);
    const WideString message =
        L"Can't back up " + lost +
        L" - the script's code page 932 cannot carry its path or its backup path";
    ASSERT_EQ(planned.size(), 2u);
    EXPECT_EQ(RefusalMessage(planned[1]), message);
    EXPECT_NE(script.find(L"\r\necho\t\t\t" + message + L"\r\n"), kNoPosition) << script;
    EXPECT_EQ(script.find(L"robocopy \"" + lost), kNoPosition);
    EXPECT_NE(script.find(L"robocopy \"" + fine + L"\""), kNoPosition);
    // A Western console's code page carries the accent, not the Hangul.
    CommandLineContext western = FixedContextJob::FixedContext();
    western.scriptCodePage = 850;
    const std::vector<PlannedFolder> inWestern = ResolveBackupFolders(
        job, western, {L"C:\\Users\\M\u00FCller\\Documents", lost}, [](const WideString&) { return true; });
    EXPECT_EQ(inWestern[0].fate, FolderFate::Mirror);
    EXPECT_EQ(inWestern[1].reason, L"the script's code page 850 cannot carry its path or its backup path");
}

TEST(FolderByFolderScript, NoSpellingReachesOutsideItsOwnPlace) {
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
    std::vector<PlannedFolder> planned;
    const WideString script = ScriptOf(job, folders, [](const WideString&) { return true; }, &planned);
    ASSERT_EQ(planned.size(), folders.size());
    size_t refused = 0;
    for (size_t i = 0; i < folders.size(); ++i) {
        if (*cases[i].copiedAs != 0) {
            EXPECT_NE(script.find(L"\r\nrobocopy " + WideString(cases[i].copiedAs) + L" /s "), kNoPosition)
                << cases[i].folder << L"\n" << script;
            continue;
        }
        ++refused;
        EXPECT_EQ(planned[i].fate, FolderFate::Refused) << cases[i].folder;
        EXPECT_EQ(RefusalMessage(planned[i]).rfind(L"Can't back up ", 0), 0u) << cases[i].folder;
    }
    size_t commands = 0;
    for (size_t at = script.find(L"\r\nrobocopy \""); at != kNoPosition;
         at = script.find(L"\r\nrobocopy \"", at + 1)) {
        ++commands;
    }
    EXPECT_EQ(commands, folders.size() - refused) << script;
}

// A folder configured inside another one's backup is refused, and that
// other folder is copied without deleting, so its mirror cannot purge it.
TEST(ResolveBackupFolders, AFolderInsideAnotherOnesBackupIsNotPurged) {
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
