// CPU time of the calling thread: on a shared machine the wall clock also counts other
// programs, so frame figures are read from this clock as well.
#pragma once

#include <ctime>

namespace pondlark {

inline double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace pondlark
