#pragma once
// What the benchmarks measure of their own process: wall time, processor
// time (user and kernel; the figure that does not grow when other work
// shares the machine) and the peak working set.
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

inline double CpuSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto value = [](FILETIME t) { return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
    return value(kernel) + value(user);
}

inline std::size_t PeakWorkingSetBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}
