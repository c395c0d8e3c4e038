// The texture-stage combiner: runs each enabled stage's colour and alpha operation on
// its arguments (diffuse, current, texture, texture factor, specular, temporary, with
// complement and alpha-replicate) in 8-bit fixed point, stopping at the first stage
// whose colour operation is DISABLE.
#pragma once

#include <cstdint>

#include "swr_color.h"
#include "swr_draw.h"

namespace swr {

struct CombinerStage {
    DWORD colorOp = D3DTOP_DISABLE;
    DWORD colorArg[3] = {D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_CURRENT};  // arg0, arg1, arg2
    DWORD alphaOp = D3DTOP_DISABLE;
    DWORD alphaArg[3] = {D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_CURRENT};
    bool toTemp = false;       // result goes to the temporary register, not current
    bool readsTexture = false; // some argument or operation of this stage reads its texture
};

// The inputs of one pixel: interpolated colours and one texel per stage (stages that
// read no texture may leave theirs unset).
struct CombinerInputs {
    Rgba8 diffuse;
    Rgba8 specular;
    Rgba8 texel[D3D8_MAX_TEXTURE_STAGES];
};

class Combiner {
public:
    void Prepare(const DrawState &state);
    Rgba8 Combine(const CombinerInputs &in) const;

    uint32_t StageCount() const { return stageCount_; }
    const CombinerStage &Stage(uint32_t i) const { return stages_[i]; }
    bool AddsSpecular() const { return addSpecular_; }
    Rgba8 Factor() const { return factor_; }

private:
    CombinerStage stages_[D3D8_MAX_TEXTURE_STAGES];
    uint32_t stageCount_ = 0;
    Rgba8 factor_;
    bool addSpecular_ = false;
};

// One operation on one channel. `x` holds the channel of arg0, arg1 and arg2; `blend`
// is the alpha that the BLEND* operations weigh by; `alpha1` is arg1's alpha.
uint8_t CombineChannel(DWORD op, const uint8_t x[3], uint8_t blend, uint8_t alpha1);

}  // namespace swr
