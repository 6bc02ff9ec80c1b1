#include "script/command_line.h"

#include "common/windows_headers.h"
#include "config/name_text.h"
#include "config/network_drive.h"
#include "config/system_paths.h"
#include "config/work_folders.h"
#include "script/cmd_text.h"
#include "plan/copy_policy.h"
#include "script/copy_settings.h"
#include "text/number_text.h"
#include "text/path_text.h"
#include "text/split_join.h"

namespace {

const wchar_t kBackupFolderName[] = L"_Backup_";
constexpr DWORD kComputerNameBufferSize = 16;

bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

bool IsBareDrive(const WideString& path) { return path.size() == 2 && path[1] == L':'; }

}  // namespace

CommandLineContext SystemCommandLineContext() {
    CommandLineContext context;
    context.workFolder = [] { return AppendSeparator(WorkFolder(L""), L'\\'); };
    context.networkForm = NetworkDriveToUnc;
    context.computerName = ComputerName;
    context.scriptCodePage = ScriptCodePage();
    return context;
}

WideString StripQuotes(const WideString& text) {
    WideString result = text;
    size_t removedPairs = 0;
    while (result.size() >= 2 && IsQuote(result.front()) && result.back() == result.front()) {
        result = result.substr(1, result.size() - 2);
        ++removedPairs;
        if (removedPairs >= result.size()) break;
    }
    return result;
}

WideString MirrorDestinationFor(const WideString& source, const WideString& destination,
                                const WideString& computerName) {
    WideString target = StripQuotes(destination);
    if (!EqualNoCase(FileNamePart(target), kBackupFolderName)) return target;
    const WideString sourcePath = NormalizeSeparators(StripQuotes(source), L'\\');
    if (sourcePath.find(L':') != kNoPosition) target = AppendSeparator(target, L'\\') + computerName;
    const WideString relative = JoinWithChar(SplitText(sourcePath, L"/:%"), L'\\');
    return NormalizeSeparators(AppendSeparator(target, L'\\') + relative, L'\\');
}

WideString MirrorDestination(const WideString& source, const WideString& destination) {
    return MirrorDestinationFor(source, destination, ComputerName());
}

WideString ComputerName() {
    // The name does not change during a run; ask once.
    static const WideString name = SystemComputerName();
    return name;
}

WideString SystemComputerName() {
    wchar_t buffer[kComputerNameBufferSize + 1] = {};
    DWORD size = kComputerNameBufferSize;
    WideString name;
    if (GetComputerNameW(buffer, &size)) name = buffer;
    for (const wchar_t* variable : {L"COMPUTERNAME", L"USERDOMAIN", L"HOSTNAME", L"NAME"}) {
        if (!name.empty()) break;
        name = EnvironmentText(variable);
    }
    return name;
}

WideString QuotedFolderElement(const WideString& folder) {
    return QuoteWith(IsBareDrive(folder) ? folder + L"\\." : folder, L'"');
}

CopyFolders ResolveCopyFolders(const CopySettings& job, const CommandLineContext& context) {
    WideString source = StripQuotes(job.Source());
    WideString destination = StripQuotes(job.Destination());
    const WideString workFolder = context.workFolder();
    if (source.empty()) source = workFolder;
    if (destination.empty()) destination = workFolder + kBackupFolderName;
    source = context.networkForm(source);
    destination = context.networkForm(destination);
    CopyFolders folders;
    folders.backupFolder = StripTrailingSeparator(destination);
    destination = MirrorDestinationFor(source, destination, context.computerName());
    folders.source = StripTrailingSeparator(source);
    folders.destination = StripTrailingSeparator(destination);
    folders.destinationInsideSource =
        folders.destination.compare(0, folders.source.size(), folders.source) == 0 &&
        folders.destination.size() >= folders.source.size();
    return folders;
}

WideString BuildCommandLine(const CopySettings& job, const CommandLineContext& context) {
    return CommandLineFor(job, ResolveCopyFolders(job, context));
}

WideString CommandLineFor(const CopySettings& job, const CopyFolders& folders) {
    const CopyOptions& options = job.Options();

    StringList elements = {job.ToolName(), QuotedFolderElement(folders.source),
                           QuotedFolderElement(folders.destination)};
    if (!job.FileSpecs().empty()) elements.push_back(job.FileSpecs());
    if (options.subdirectories) elements.push_back(L"/s");
    if (options.purge) elements.push_back(L"/purge");
    if (options.mirror) elements.push_back(L"/mir");
    if (options.fatTimes) elements.push_back(L"/fft");
    if (options.retryOption) elements.push_back(L"/r:" + UnsignedToText(job.RetryCount(), 10));
    if (options.waitOption) elements.push_back(L"/w:" + UnsignedToText(job.WaitSeconds(), 10));
    if (options.excludeOlder) elements.push_back(L"/xo");
    if (options.excludeExtra) elements.push_back(L"/xx");
    if (options.excludeJunctions) elements.push_back(L"/xjd");
    if (options.maxAgeOption) elements.push_back(L"/maxage:" + UnsignedToText(job.MaxAge(), 10));
    if (options.minAgeOption) elements.push_back(L"/minage:" + UnsignedToText(job.MinAge(), 10));
    if (options.minSizeOption) elements.push_back(L"/min:" + IntegerToText(job.MinSize(), 10));
    if (options.maxSizeOption) elements.push_back(L"/max:" + IntegerToText(job.MaxSize(), 10));
    // The restore's temporary files are left out of every copy (see plan/copy_policy.h).
    const WideString ownFiles = WideString(L" ") + kRestoreTemporaryPattern + L" ";
    elements.push_back(L"/xf " + (options.excludeFilesOption ? job.ExcludedFiles() + ownFiles : ownFiles));
    if (options.excludeDirsOption) elements.push_back(L"/xd " + job.ExcludedDirs());
    elements.push_back(job.ExtraOptions());
    if (options.listOnly) elements.push_back(L"/l");
    if (folders.destinationInsideSource) elements.push_back(L"/lev:3");
    return JoinWithChar(elements, L' ');
}

WideString WithFoldersLeftOut(const WideString& commandLine, const StringList& folders) {
    if (folders.empty()) return commandLine;
    WideString line = commandLine;
    while (!line.empty() && line.back() == L' ') line.pop_back();
    line += L" /xd";
    for (const WideString& folder : folders) line += L" " + QuotedFolderElement(folder);
    return line;
}
