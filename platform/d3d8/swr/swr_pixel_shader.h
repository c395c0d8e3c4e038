// The pixel-shader interpreter of the rasteriser: runs a decoded ps 1.x
// program for one pixel on the interpolated colours, the sampled texels and
// the shader constants. Arithmetic is 8-bit fixed point with the combiner's
// rounding (a product is round(a * b / 255)), so a shader that spells out a
// fixed-function arrangement gives exactly the combiner's pixels. Registers
// hold signed values in [-255, 255] (the [-1, 1] range of ps 1.x).
#pragma once

#include <cstdint>

#include "swr_color.h"
#include "swr_draw.h"

namespace swr {

enum class PsOp : uint8_t { Nop, Mov, Add, Sub, Mul, Mad, Lrp, Dp3, Tex };
enum class PsReg : uint8_t { Temp, Input, Const, Texture };
// Source modifiers of ps 1.x.
enum class PsMod : uint8_t { None, Neg, Bias, BiasNeg, Sign, SignNeg, Comp, X2, X2Neg };

struct PsSource {
    PsReg type = PsReg::Temp;
    uint8_t index = 0;
    PsMod modifier = PsMod::None;
    uint8_t swizzle[4] = {0, 1, 2, 3};  // component read for r, g, b, a
};

struct PsInstruction {
    PsOp op = PsOp::Nop;
    PsReg destType = PsReg::Temp;
    uint8_t destIndex = 0;
    uint8_t writeMask = 0xF;  // bit 0 r ... bit 3 a
    bool saturate = false;
    int8_t shift = 0;         // result scale: 1 x2, 2 x4, -1 d2
    uint8_t sourceCount = 0;
    PsSource src[3];
};

constexpr uint32_t kPsMaxInstructions = 32;
constexpr uint32_t kPsTempRegisters = 2;
constexpr uint32_t kPsTextureRegisters = 4;
constexpr uint32_t kPsInputRegisters = 2;
constexpr uint32_t kPsConstRegisters = 8;

struct PixelShaderProgram {
    uint32_t version = 0;  // 0x0100 or 0x0101
    uint32_t count = 0;
    PsInstruction code[kPsMaxInstructions];
    uint32_t sampledStages = 0;  // bit s: the program samples stage s (tex ts)
};

// Constants as the device holds them (floats, four per register).
struct PixelShaderConstants {
    float c[kPsConstRegisters][4] = {};
};

// The result colour of one pixel, clamped to [0, 255]. `in.texel[s]` must
// hold stage s's sample for every stage in program.sampledStages.
Rgba8 RunPixelShader(const PixelShaderProgram &program, const PixelShaderConstants &constants,
                     const Rgba8 &diffuse, const Rgba8 &specular, const Rgba8 texel[D3D8_MAX_TEXTURE_STAGES]);

}  // namespace swr
