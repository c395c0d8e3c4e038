// Scoped settings of the span routines for tests, and the widths this processor runs:
// each setting is held for its holder's lifetime and put back to the default when it
// ends, so that a failing check cannot leave the next test drawing with the fast paths
// off, a narrowed width, other threads or a fault.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/swr/swr_fast_triangle.h"

namespace swrtest {

class FastPathsOff {
public:
    FastPathsOff() { swr::SetFastPathsEnabled(false); }
    ~FastPathsOff() { swr::SetFastPathsEnabled(true); }
};

// Runs with the span routines held to `lanes` pixels at a time (0: the widest).
class Width {
public:
    explicit Width(uint32_t lanes) { swr::SetSpanWidth(lanes); }
    ~Width() { swr::SetSpanWidth(0); }
};

// The widths this processor runs: the baseline always, eight and sixteen lanes where
// it has them.
inline std::vector<uint32_t> Widths() {
    std::vector<uint32_t> widths{4};
    for (uint32_t lanes : {8u, 16u}) {
        swr::SetSpanWidth(lanes);
        if (swr::SpanWidth() == lanes) widths.push_back(lanes);
    }
    swr::SetSpanWidth(0);
    return widths;
}

// Runs with drawing split over `count` threads: one thread draws a draw's rows in
// cache-sized bands, several in smaller bands shared among them.
class Threads {
public:
    explicit Threads(uint32_t count) { swr::SetThreadCount(count); }
    ~Threads() { swr::SetThreadCount(0); }
};

// Runs with a deliberate error switched on in the span routines (for a shape of sampler
// only, or every shape).
class Fault {
public:
    explicit Fault(uint32_t fault, uint32_t shape = swr::kSamplerShapeCount) { swr::SetSpanFault(fault, shape); }
    ~Fault() { swr::SetSpanFault(swr::kSpanFaultNone); }
};

}  // namespace swrtest
