// Prints what comparing a source tree with its backup costs beside a plain
// listing walk of the same two trees: 20,000 files in 200 folders, the
// backup a copy of the source; rounds interleave the two measures and
// rotate their order; the figures are medians of paired ratios. Figures
// only: no test depends on them.
//
//   brisk_check_bench.exe                 the comparison above
//   brisk_check_bench.exe --walk A B ...  walks the folders plainly and
//                                         prints how many files they hold
//   brisk_check_bench.exe --read A B ...  reads every file below the folders
//                                         plainly, without hashing
//   brisk_check_bench.exe --stages SOURCE BACKUP COMPUTER PLACE
//                                         times the stages of a settled run
//                                         one by one: the lists loaded, the
//                                         plan's walk, the rolling check's
//                                         reads, the lists written (to the
//                                         temporary folder), and a plain walk
//   brisk_check_bench.exe --digest FILE   hashes the file with the program's
//                                         own reader, from the device, three
//                                         times, and prints the median MB/s
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <thread>
#include <vector>

#include "common/windows_headers.h"
#include "config/directory_ops.h"
#include "config/system_paths.h"
#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "walk/tree_walk.h"
#include "points/stick_records.h"
#include "script/text_files.h"
#include "text/case_text.h"
#include "text/path_text.h"
#include "verify/checksum_book.h"
#include "text/canonical_path.h"
#include "verify/checksum_files.h"
#include "verify/file_digest.h"

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
    FILETIME time = {0x12345678, 0x01D00000};
    SetFileTime(file, nullptr, nullptr, &time);
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

int wmain(int argc, wchar_t** argv) {
    InstallUserLocale();  // as the program does: names are lower-cased by the locale
    if (argc == 3 && std::wcscmp(argv[1], L"--digest") == 0) {
        std::vector<double> rates;
        for (int round = 0; round < 3; ++round) {
            FileDigest digest;
            const double ms = Milliseconds([&] { digest = DigestOfFile(argv[2], ReadFrom::Device); });
            rates.push_back(static_cast<double>(digest.bytes) / (1 << 20) / (ms / 1000));
        }
        std::printf("%.0f MB/s\n", Median(rates));
        return 0;
    }
    if (argc >= 2 && std::wcscmp(argv[1], L"--hash") == 0) {
        // The SHA-256 of every file below the folders, as a copy's check would read them.
        uint64_t files = 0;
        for (int i = 2; i < argc; ++i) {
            const WideString folder = argv[i];
            VisitFilesBelow(folder, [&](const WideString& relative, uint64_t) {
                files += DigestOfFile(JoinPath(folder, relative), ReadFrom::Cache).read ? 1 : 0;
            });
        }
        std::printf("%llu files hashed\n", static_cast<unsigned long long>(files));
        return 0;
    }
    if (argc >= 2 && std::wcscmp(argv[1], L"--read") == 0) {
        static char buffer[1 << 20];
        uint64_t bytes = 0;
        for (int i = 2; i < argc; ++i) {
            const WideString folder = argv[i];
            VisitFilesBelow(folder, [&](const WideString& relative, uint64_t) {
                HANDLE file = CreateFileW(JoinPath(folder, relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
                DWORD got = 0;
                while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got != 0) bytes += got;
                CloseHandle(file);
            });
        }
        std::printf("%llu bytes\n", static_cast<unsigned long long>(bytes));
        return 0;
    }
    if (argc >= 3 && std::wcscmp(argv[1], L"--book") == 0) {
        // The checksum book of that many files named as a backup of small
        // files is: what it holds per file.
        const unsigned long files = std::wcstoul(argv[2], nullptr, 10);
        ChecksumBook book;
        for (unsigned long number = 0; number < files; ++number) {
            ChecksumRecord record;
            record.relative = L"C\\KORV\\bench\\folder " + std::to_wstring(10000 + number / 100).substr(1) +
                              L"\\file " + std::to_wstring(1000 + number % 100).substr(1) + L".dat";
            record.size = 100 + number % 900;
            record.checkedRun = 1 + number % 8;
            book.Put(record);
        }
        std::printf("checksum book of %lu files: %zu bytes, %zu bytes per file\n", files, book.MemoryBytes(),
                    book.MemoryBytes() / (files == 0 ? 1 : files));
        return 0;
    }
    if (argc == 6 && std::wcscmp(argv[1], L"--stages") == 0) {
        const WideString source = argv[2], backup = argv[3], computer = argv[4], place = argv[5];
        BackupJob job;
        ApplyBackupPolicy(job, L"E:\\_Backup_");
        const CopyPolicy policy = PolicyOf(job);
        ChecksumBook book;
        uint64_t sink = 0;
        const double load = Milliseconds([&] { book = LoadChecksumBook(computer); });
        const double lines = Milliseconds([&] {
            ForEachFileLine(ChecksumListOf(computer), [&](const std::string& line) { sink += line.size(); });
            ForEachFileLine(RunsListOf(computer), [&](const std::string& line) { sink += line.size(); });
        });
        const double choose = Milliseconds([&] { sink += RollingNumbers(book).size(); });
        const double walk = Milliseconds([&] { sink += CountFilesPlainly(source) + CountFilesPlainly(backup); });
        const double plan = Milliseconds([&] {
            sink += CompareTrees(policy, 4096, source, backup, [&](const WideString& relative, const FolderEntry&,
                                                                  const FolderEntry* copy, bool upToDate) {
                        if (upToDate && copy != nullptr) {
                            sink += book.SeenAsRecorded(place + L"\\" + relative, copy->size, copy->lastWrite);
                        }
                    }).files;
        });
        const std::vector<WideString> picked = RollingSelection(book);
        const double rolling = Milliseconds([&] {
            for (const WideString& relative : picked) sink += DigestOfFile(JoinPath(computer, relative), ReadFrom::Device).bytes;
        });
        const double opens = Milliseconds([&] {
            for (const WideString& relative : picked) {
                HANDLE file = CreateFileW(LongPathForm(JoinPath(computer, relative)).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
                CloseHandle(file);
            }
        });
        // The plan's walk with the rolling reads on a thread beside it, and
        // the rolling reads split over two threads.
        const double together = Milliseconds([&] {
            std::thread reader([&] {
                FileReader own;
                for (const WideString& relative : picked) own.Digest(JoinPath(computer, relative), ReadFrom::Device);
            });
            sink += CompareTrees(policy, 4096, source, backup).files;
            reader.join();
        });
        const double split = Milliseconds([&] {
            std::thread reader([&] {
                FileReader own;
                for (size_t i = 0; i < picked.size(); i += 2) own.Digest(JoinPath(computer, picked[i]), ReadFrom::Device);
            });
            for (size_t i = 1; i < picked.size(); i += 2) DigestOfFile(JoinPath(computer, picked[i]), ReadFrom::Device);
            reader.join();
        });
        std::printf("walk and reads together %.0f ms, reads on two threads %.0f ms\n", together, split);
        const WideString saved = JoinPath(TempFolder(), L"brisk_stages");
        const double save = Milliseconds([&] { sink += SaveChecksumBook(book, saved).size(); });
        std::printf("%zu recorded, %zu picked: lists loaded %.0f ms (their lines alone %.0f ms), picks chosen %.0f ms,"
                    " plan walk %.0f ms, plain walk %.0f ms, rolling reads %.0f ms (opens alone %.0f ms),"
                    " lists written %.0f ms\n",
                    book.Size(), picked.size(), load, lines, choose, plan, walk, rolling, opens, save);
        return sink == 0 ? 1 : 0;
    }
    if (argc >= 2 && std::wcscmp(argv[1], L"--walk") == 0) {
        uint64_t files = 0;
        for (int i = 2; i < argc; ++i) files += CountFilesPlainly(argv[i]);
        std::printf("%llu files\n", static_cast<unsigned long long>(files));
        return 0;
    }
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
        [&] { sink += CompareTrees(policy, 4096, source, backup).files; },
    };
    std::vector<std::vector<double>> times(measures.size());
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < measures.size(); ++i) {
            const size_t which = (i + static_cast<size_t>(round)) % measures.size();
            times[which].push_back(Milliseconds(measures[which]));
        }
    }
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        ratios.push_back(times[1][static_cast<size_t>(round)] / times[0][static_cast<size_t>(round)]);
    }
    std::printf("trees of %d files each, %d rounds\n", kFolders * kFilesPerFolder, kRounds);
    std::printf("plain listing walk of both trees: median %.0f ms\n", Median(times[0]));
    std::printf("comparison of the two trees:      median %.0f ms, ratio %.2f (median of pairs)\n",
                Median(times[1]), Median(ratios));
    return sink == 0 ? 1 : 0;
}
