// Fog curves. Factors are clamped to [0, 1] before rounding so distances before the
// start or past the end of linear fog saturate.
#include "swr_fog.h"

#include <cmath>

namespace swr {

FogSetup PrepareFog(const DrawState &state) {
    FogSetup fog;
    const DWORD *rs = state.renderStates;
    if (!rs[D3DRS_FOGENABLE]) return fog;
    fog.start = StateFloat(state, D3DRS_FOGSTART);
    fog.end = StateFloat(state, D3DRS_FOGEND);
    fog.density = StateFloat(state, D3DRS_FOGDENSITY);
    fog.rangeBased = rs[D3DRS_RANGEFOGENABLE] != 0;
    fog.color = UnpackColor(rs[D3DRS_FOGCOLOR]);
    const DWORD table = rs[D3DRS_FOGTABLEMODE];
    if (table == D3DFOG_LINEAR || table == D3DFOG_EXP || table == D3DFOG_EXP2) {
        fog.where = FogSetup::Where::Table;
        fog.mode = static_cast<D3DFOGMODE>(table);
        return fog;
    }
    const DWORD vertex = rs[D3DRS_FOGVERTEXMODE];
    fog.where = FogSetup::Where::Vertex;
    fog.mode = (vertex == D3DFOG_LINEAR || vertex == D3DFOG_EXP || vertex == D3DFOG_EXP2)
                   ? static_cast<D3DFOGMODE>(vertex)
                   : D3DFOG_NONE;
    return fog;
}

uint8_t FogFactor(const FogSetup &fog, float distance) {
    float f = 1.0f;
    switch (fog.mode) {
        case D3DFOG_LINEAR:
            if (fog.end != fog.start) f = (fog.end - distance) / (fog.end - fog.start);
            else f = distance < fog.end ? 1.0f : 0.0f;
            break;
        case D3DFOG_EXP: f = std::exp(-(fog.density * distance)); break;
        case D3DFOG_EXP2: {
            const float dd = fog.density * distance;
            f = std::exp(-(dd * dd));
            break;
        }
        default: return 255;
    }
    return UnitToByte(f);
}

}  // namespace swr
