// Checks of a state machine's routes: from a state, an input leads to a
// state (or nowhere), at once or only once the state's motion has ended.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "actor/fsf.h"

namespace gametest {

struct FsfRoute {
    int32_t from;
    int32_t input;
    bool ended;  // only once the motion of `from` has ended
    int32_t to;  // -1: nowhere
};

// Each route taken on `fsf`; a failure names the route.
inline void ExpectRoutes(CFSF &fsf, const std::vector<FsfRoute> &routes)
{
    for (const FsfRoute &r : routes) {
        fsf.SetState(r.from);
        EXPECT_EQ(fsf.NextState(r.input, r.ended ? 1 : 0), r.to)
            << "from " << r.from << " on " << r.input << (r.ended ? " at its end" : " at once");
    }
}

}  // namespace gametest
