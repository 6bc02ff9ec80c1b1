// Test equipment: runs the expiry and the trace log in a process of its own,
// so that tests can see what happens before and after the process ends.
//   housekeeping_probe expire PATH DAYS
//       schedules expired files, then prints how many files of the folder
//       are still there ("present N").
//   housekeeping_probe trace [--age-between FILE] MESSAGE...
//       writes one trace entry per message; with --age-between, FILE is
//       created 20 days old after the first entry.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/windows_headers.h"
#include "housekeeping/file_lists.h"
#include "housekeeping/pending_file_ops.h"
#include "test_support.h"
#include "text/argument_list.h"
#include "text/path_text.h"
#include "trace/trace_log.h"

namespace {

int Expire(const WideString& path, const WideString& days) {
    const bool nothing = ExpireOldFiles(path, static_cast<uint32_t>(std::wcstoul(days.c_str(), nullptr, 10)));
    std::printf("%s\npresent %zu\n", nothing ? "nothing" : "scheduled",
                ListMatchingFiles(ParentPath(path), L"*").size());
    return 0;
}

int Trace(const StringList& arguments) {
    size_t next = 2;
    WideString ageBetween;
    if (arguments.size() > 3 && arguments[2] == L"--age-between") {
        ageBetween = arguments[3];
        next = 4;
    }
    for (size_t i = next; i < arguments.size(); ++i) {
        if (!WriteTrace(arguments[i])) return 1;
        if (i == next && !ageBetween.empty()) {
            WriteFileBytes(ageBetween, "made between two entries");
            SetLastWriteDaysAgo(ageBetween, 20);
        }
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetArgumentList(argc, argv);
    const StringList arguments = ArgumentListCopy();
    if (arguments.size() == 4 && arguments[1] == L"expire") return Expire(arguments[2], arguments[3]);
    if (arguments.size() >= 3 && arguments[1] == L"trace") return Trace(arguments);
    std::fprintf(stderr, "usage: housekeeping_probe expire PATH DAYS | trace [--age-between FILE] MESSAGE...\n");
    return 2;
}
