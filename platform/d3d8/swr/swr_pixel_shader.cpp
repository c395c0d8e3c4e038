// Execution of decoded ps 1.x programs, one pixel at a time.
#include "swr_pixel_shader.h"

#include <algorithm>
#include <cmath>

namespace swr {

namespace {

using Vec = int32_t[4];

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return std::clamp(v, lo, hi); }

// round(a * b / 255) with the sign of the product, halves away from zero.
int32_t MulFixed(int32_t a, int32_t b)
{
    int32_t p = a * b;
    return p >= 0 ? static_cast<int32_t>(Div255Round(static_cast<uint32_t>(p)))
                  : -static_cast<int32_t>(Div255Round(static_cast<uint32_t>(-p)));
}

int32_t ConstToFixed(float v)
{
    if (!(v == v)) return 0;
    float clamped = std::clamp(v, -1.0f, 1.0f);
    return static_cast<int32_t>(std::lround(clamped * 255.0f));
}

int32_t ApplyModifier(int32_t x, PsMod mod)
{
    switch (mod) {
    case PsMod::None: return x;
    case PsMod::Neg: return -x;
    case PsMod::Bias: return x - 128;
    case PsMod::BiasNeg: return 128 - x;
    case PsMod::Sign: return 2 * x - 255;
    case PsMod::SignNeg: return 255 - 2 * x;
    case PsMod::Comp: return 255 - x;
    case PsMod::X2: return 2 * x;
    case PsMod::X2Neg: return -2 * x;
    }
    return x;
}

struct Registers {
    int32_t r[kPsTempRegisters][4] = {};
    int32_t t[kPsTextureRegisters][4] = {};
    int32_t v[kPsInputRegisters][4] = {};
    int32_t c[kPsConstRegisters][4] = {};

    int32_t *Get(PsReg type, uint8_t index)
    {
        switch (type) {
        case PsReg::Temp: return r[index % kPsTempRegisters];
        case PsReg::Input: return v[index % kPsInputRegisters];
        case PsReg::Const: return c[index % kPsConstRegisters];
        case PsReg::Texture: return t[index % kPsTextureRegisters];
        }
        return r[0];
    }
};

void LoadColor(int32_t *dst, const Rgba8 &c)
{
    dst[0] = c.r;
    dst[1] = c.g;
    dst[2] = c.b;
    dst[3] = c.a;
}

void Fetch(Registers &regs, const PsSource &src, int32_t out[4])
{
    const int32_t *reg = regs.Get(src.type, src.index);
    for (int i = 0; i < 4; ++i) out[i] = ApplyModifier(reg[src.swizzle[i] & 3], src.modifier);
}

}  // namespace

Rgba8 RunPixelShader(const PixelShaderProgram &program, const PixelShaderConstants &constants,
                     const Rgba8 &diffuse, const Rgba8 &specular, const Rgba8 texel[D3D8_MAX_TEXTURE_STAGES])
{
    Registers regs;
    LoadColor(regs.v[0], diffuse);
    LoadColor(regs.v[1], specular);
    for (uint32_t i = 0; i < kPsConstRegisters; ++i)
        for (int k = 0; k < 4; ++k) regs.c[i][k] = ConstToFixed(constants.c[i][k]);

    for (uint32_t n = 0; n < program.count; ++n) {
        const PsInstruction &ins = program.code[n];
        if (ins.op == PsOp::Nop) continue;
        if (ins.op == PsOp::Tex) {
            LoadColor(regs.t[ins.destIndex % kPsTextureRegisters], texel[ins.destIndex % D3D8_MAX_TEXTURE_STAGES]);
            continue;
        }
        int32_t a[4] = {}, b[4] = {}, c[4] = {}, res[4] = {};
        if (ins.sourceCount > 0) Fetch(regs, ins.src[0], a);
        if (ins.sourceCount > 1) Fetch(regs, ins.src[1], b);
        if (ins.sourceCount > 2) Fetch(regs, ins.src[2], c);
        switch (ins.op) {
        case PsOp::Mov:
            for (int i = 0; i < 4; ++i) res[i] = a[i];
            break;
        case PsOp::Add:
            for (int i = 0; i < 4; ++i) res[i] = a[i] + b[i];
            break;
        case PsOp::Sub:
            for (int i = 0; i < 4; ++i) res[i] = a[i] - b[i];
            break;
        case PsOp::Mul:
            for (int i = 0; i < 4; ++i) res[i] = MulFixed(a[i], b[i]);
            break;
        case PsOp::Mad:
            for (int i = 0; i < 4; ++i) res[i] = MulFixed(a[i], b[i]) + c[i];
            break;
        case PsOp::Lrp:
            for (int i = 0; i < 4; ++i) res[i] = c[i] + MulFixed(a[i], b[i] - c[i]);
            break;
        case PsOp::Dp3: {
            int32_t sum = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
            int32_t d = sum >= 0 ? static_cast<int32_t>(Div255Round(static_cast<uint32_t>(sum)))
                                 : -static_cast<int32_t>(Div255Round(static_cast<uint32_t>(-sum)));
            for (int i = 0; i < 4; ++i) res[i] = d;
            break;
        }
        default:
            break;
        }
        int32_t *dst = regs.Get(ins.destType, ins.destIndex);
        for (int i = 0; i < 4; ++i) {
            if (!(ins.writeMask & (1u << i))) continue;
            int32_t v = res[i];
            if (ins.shift > 0) v <<= ins.shift;
            else if (ins.shift < 0) v /= 2;
            dst[i] = ins.saturate ? Clamp(v, 0, 255) : Clamp(v, -255, 255);
        }
    }
    return Rgba8{static_cast<uint8_t>(Clamp(regs.r[0][0], 0, 255)), static_cast<uint8_t>(Clamp(regs.r[0][1], 0, 255)),
                 static_cast<uint8_t>(Clamp(regs.r[0][2], 0, 255)), static_cast<uint8_t>(Clamp(regs.r[0][3], 0, 255))};
}

}  // namespace swr
