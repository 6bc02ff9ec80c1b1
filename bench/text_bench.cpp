// Prints how long the text helpers take on large inputs. Figures only: no
// test depends on them.
#include <chrono>
#include <cstdio>

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

}  // namespace

int main() {
    for (size_t count : {10000u, 100000u, 1000000u}) JoinBenchmark(count);
    return 0;
}
