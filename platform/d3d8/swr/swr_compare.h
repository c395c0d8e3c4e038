// The comparison functions shared by the depth, stencil and alpha tests.
#pragma once

#include <cstdint>

#include "d3d8/d3d8types.h"

namespace swr {

// True when `incoming` passes against `reference` under `func` (e.g. LESS passes when
// incoming < reference). An unknown function passes, as ALWAYS would.
inline bool ComparePasses(DWORD func, uint32_t incoming, uint32_t reference) {
    switch (func) {
        case D3DCMP_NEVER: return false;
        case D3DCMP_LESS: return incoming < reference;
        case D3DCMP_EQUAL: return incoming == reference;
        case D3DCMP_LESSEQUAL: return incoming <= reference;
        case D3DCMP_GREATER: return incoming > reference;
        case D3DCMP_NOTEQUAL: return incoming != reference;
        case D3DCMP_GREATEREQUAL: return incoming >= reference;
        default: return true;
    }
}

}  // namespace swr
