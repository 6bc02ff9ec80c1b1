// Prints how long the text helpers take on large inputs. Figures only: no
// test depends on them.
#include <chrono>
#include <cstdio>

#include "common/windows_headers.h"
#include "housekeeping/pending_file_ops.h"
#include "job/backup_job.h"
#include "script/backup_folders.h"
#include "script/batch_script.h"
#include "script/command_line.h"
#include "text/split_join.h"

namespace {

template <typename Work>
double Milliseconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

void JoinBenchmark(size_t count) {
    StringList list;
    list.reserve(count);
    for (size_t i = 0; i < count; ++i) list.push_back(L"e" + std::to_wstring(i % 1000));
    WideString joined;
    const double ms = Milliseconds([&] { joined = JoinText(list, L";"); });

    WideString plain;
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) plain += L';';
        plain += list[i];
    }
    std::printf("JoinText %8zu elements: %8.1f ms, %zu characters, %s\n", count, ms, joined.size(),
                joined == plain ? "equals the plain join" : "DIFFERS from the plain join");
}

// A job whose command line does not ask the system (fixed computer name,
// work folder, no network drives), so that only the builder is measured.
class FixedJob : public BackupJob {
public:
    CommandLineContext Context() const override {
        CommandLineContext context;
        context.workFolder = [] { return WideString(L"C:\\Temp\\Quillon.tmp\\"); };
        context.networkForm = [](const WideString& path) { return path; };
        context.computerName = [] { return WideString(L"PC01"); };
        return context;
    }
};

void ScriptBenchmark(size_t count) {
    StringList folders;
    for (size_t i = 0; i < count; ++i) {
        folders.push_back(L"C:\\Users\\someone\\Documents\\Project " + std::to_wstring(i));
    }
    FixedJob job;
    job.SetMirror(true);
    job.SetDestination(L"E:\\_Backup_");
    WideString script;
    const double ms = Milliseconds(
        [&] {
            const std::vector<PlannedFolder> planned =
                ResolveBackupFolders(job, job.Context(), folders, [](const WideString&) { return true; });
            script = FolderByFolderScript(job, planned, L"C:\\t\\", L"\\\\.\\pipe\\p");
        });
    std::printf("FolderByFolderScript %7zu folders: %8.1f ms, %zu characters\n", count, ms, script.size());
}

// A delete pass over many listed paths, nearly all of them absent, and a
// few real files in a scratch folder.
void DeletePassBenchmark(size_t count) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const WideString folder = WideString(temp) + L"brisk_bench_delete";
    CreateDirectoryW(folder.c_str(), nullptr);
    PendingFileOps pending;
    for (size_t i = 0; i < count; ++i) {
        const WideString path = folder + L"\\file" + std::to_wstring(i) + L".tmp";
        if (i % 1000 == 0) {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            CloseHandle(file);
        }
        pending.Add(path);
    }
    pending.Add(folder + L"\\");
    const double ms = Milliseconds([&] { pending.DeleteNow(); });
    const DWORD left = GetFileAttributesW(folder.c_str());
    std::printf("Delete pass %7zu paths (%zu present): %8.1f ms, folder %s\n", count, count / 1000,
                ms, left == INVALID_FILE_ATTRIBUTES ? "removed" : "LEFT");
}

}  // namespace

int main() {
    for (size_t count : {10000u, 100000u, 1000000u}) JoinBenchmark(count);
    for (size_t count : {1000u, 10000u, 100000u}) ScriptBenchmark(count);
    for (size_t count : {10000u, 100000u}) DeletePassBenchmark(count);
    return 0;
}
