// Prints what the checks around a backup cost: the check before the copy
// (both trees listed by the policy, the copy planned) and the verification
// after it (both trees listed again, every file compared), each as a ratio
// to a plain listing walk of the same two trees. 20,000 files in 200
// folders, the backup a copy of the source; rounds interleave the three
// measures and rotate their order; the figures are medians of paired
// ratios. Figures only: no test depends on them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/system_paths.h"
#include "job/backup_check.h"
#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "text/path_text.h"

namespace {

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;
constexpr int kRounds = 7;

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

void WriteSmallFile(const WideString& path, int number) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string bytes(static_cast<size_t>(100 + number % 900), 'x');
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The tree, made once and kept for later runs.
void MakeTree(const WideString& root) {
    if (DirectoryExists(JoinPath(root, L"done"))) return;
    for (int folder = 0; folder < kFolders; ++folder) {
        const WideString path = JoinPath(root, L"folder " + std::to_wstring(folder));
        CreateDirectoryTree(path);
        for (int file = 0; file < kFilesPerFolder; ++file) {
            WriteSmallFile(JoinPath(path, L"file " + std::to_wstring(file) + L".dat"), file);
        }
    }
    CreateDirectoryTree(JoinPath(root, L"done"));
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    const WideString base = JoinPath(TempFolder(), L"brisk_check_bench");
    const WideString source = JoinPath(base, L"source");
    const WideString backup = JoinPath(base, L"backup");
    MakeTree(source);
    MakeTree(backup);

    BackupJob job;
    ApplyBackupPolicy(job, L"E:\\_Backup_");
    const CopyPolicy policy = PolicyOf(job);
    uint64_t sink = 0;
    const std::vector<std::function<void()>> measures = {
        [&] { sink += CountFilesPlainly(source) + CountFilesPlainly(backup); },
        [&] { sink += PlanMirror(policy, ListTree(source, policy), ListTree(backup, policy)).bytesWritten; },
        [&] { sink += VerifyMirror(policy, ListTree(source, policy), ListTree(backup, policy)).files; },
    };
    std::vector<std::vector<double>> times(measures.size());
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < measures.size(); ++i) {
            const size_t which = (i + static_cast<size_t>(round)) % measures.size();
            times[which].push_back(Milliseconds(measures[which]));
        }
    }
    std::vector<double> checkRatios;
    std::vector<double> verifyRatios;
    for (int round = 0; round < kRounds; ++round) {
        checkRatios.push_back(times[1][static_cast<size_t>(round)] / times[0][static_cast<size_t>(round)]);
        verifyRatios.push_back(times[2][static_cast<size_t>(round)] / times[0][static_cast<size_t>(round)]);
    }
    std::printf("trees of %d files each, %d rounds\n", kFolders * kFilesPerFolder, kRounds);
    std::printf("plain listing walk of both trees: median %.0f ms\n", Median(times[0]));
    std::printf("check before the copy:            median %.0f ms, ratio %.2f (median of pairs)\n",
                Median(times[1]), Median(checkRatios));
    std::printf("verification after the copy:      median %.0f ms, ratio %.2f (median of pairs)\n",
                Median(times[2]), Median(verifyRatios));
    return sink == 0 ? 1 : 0;
}
