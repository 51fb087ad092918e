// Timing shared by the in-process benchmarks: QueryPerformanceCounter, and
// runs of ours and of the baseline taken in turn (A B A B ...), each printed as
// "FIGURE ours|base VALUE" for scripts/bench to summarise.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>

inline double now_ms() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Runs ours(iterations) and base(iterations) in turn, pairs times, after one
// untimed warm-up run of each; prints the milliseconds of every timed run.
template <typename Ours, typename Base>
void interleave(const char* figure, int pairs, long iterations, Ours ours, Base base) {
    ours(iterations / 10);
    base(iterations / 10);
    for (int i = 0; i < pairs; ++i) {
        double t0 = now_ms();
        ours(iterations);
        double t1 = now_ms();
        base(iterations);
        double t2 = now_ms();
        std::printf("%s ours %.3f\n%s base %.3f\n", figure, t1 - t0, figure, t2 - t1);
        std::fflush(stdout);
    }
}

// The number of pairs from the command line (default when absent).
inline int pairs_argument(int argc, char** argv, int fallback) { return argc > 1 ? std::atoi(argv[1]) : fallback; }
// The k-th command-line argument as a count (default when absent).
inline long count_argument(int argc, char** argv, int k, long fallback) {
    return argc > k ? std::atol(argv[k]) : fallback;
}

// Dispatches what the measured run left in the queue, between runs.
inline void drain_queue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}
