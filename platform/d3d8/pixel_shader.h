// Pixel shaders of the device: decoding and checking ps 1.0/1.1 token
// streams into the rasteriser's program form, and the table of created
// shaders with their handles and the shader constants. The device forwards
// CreatePixelShader, DeletePixelShader, SetPixelShader and
// SetPixelShaderConstant here, and hands the bound program and the
// constants to the rasteriser with each draw.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "d3d8/d3d8.h"
#include "swr/swr_pixel_shader.h"

namespace d3d8 {

// Token encoding of ps 1.x (the parts the interpreter takes).
namespace ps {
constexpr DWORD kVersion10 = 0xFFFF0100u;
constexpr DWORD kVersion11 = 0xFFFF0101u;
constexpr DWORD kEnd = 0x0000FFFFu;
constexpr DWORD kCommentOpcode = 0xFFFEu;
constexpr DWORD kCoIssue = 0x40000000u;
constexpr DWORD kParam = 0x80000000u;
// Opcodes.
constexpr DWORD kNop = 0, kMov = 1, kAdd = 2, kSub = 3, kMad = 4, kMul = 5, kDp3 = 8, kLrp = 18, kTex = 66, kDef = 81;
// Register types (bits 28-30) and numbers (bits 0-10).
constexpr DWORD kRegTemp = 0u << 28, kRegInput = 1u << 28, kRegConst = 2u << 28, kRegTexture = 3u << 28;
// Destination: write mask bits 16-19, result modifier bits 20-23, shift bits 24-27.
constexpr DWORD kMaskR = 0x10000u, kMaskG = 0x20000u, kMaskB = 0x40000u, kMaskA = 0x80000u;
constexpr DWORD kMaskRGB = kMaskR | kMaskG | kMaskB, kMaskAll = kMaskRGB | kMaskA;
constexpr DWORD kSaturate = 0x100000u;
// Source: swizzle bits 16-23 (two bits per component), modifier bits 24-27.
constexpr DWORD kNoSwizzle = 0xE40000u;
constexpr DWORD kReplicateAlpha = 0xFF0000u;
constexpr DWORD kModNone = 0u << 24, kModNeg = 1u << 24, kModBias = 2u << 24, kModBiasNeg = 3u << 24,
                kModSign = 4u << 24, kModSignNeg = 5u << 24, kModComp = 6u << 24, kModX2 = 7u << 24,
                kModX2Neg = 8u << 24;
// Parameter tokens.
constexpr DWORD Dst(DWORD type, DWORD index, DWORD mask = kMaskAll) { return kParam | type | index | mask; }
constexpr DWORD Src(DWORD type, DWORD index, DWORD swizzle = kNoSwizzle, DWORD mod = kModNone)
{
    return kParam | type | index | swizzle | mod;
}
}  // namespace ps

// Decodes a token stream; false (program untouched) for anything outside
// ps 1.0/1.1 as the interpreter runs it: unknown opcodes, registers out of
// range, too many instructions, a missing end token. `maxTokens` bounds the
// walk (0: until the end token).
bool DecodePixelShader(const DWORD *tokens, size_t maxTokens, swr::PixelShaderProgram *program);

// The device's shaders. Handles are small odd numbers (never 0, which is
// the fixed-function pipeline).
class PixelShaderTable {
public:
    HRESULT Create(const DWORD *tokens, DWORD *handle);
    HRESULT Delete(DWORD handle);
    // Binds `handle` (0: fixed function).
    HRESULT Set(DWORD handle);
    DWORD Current() const { return current_; }
    HRESULT SetConstant(DWORD first, const void *data, DWORD count);
    HRESULT GetConstant(DWORD first, void *data, DWORD count) const;
    // The bound program, null for fixed function.
    const swr::PixelShaderProgram *Bound() const;
    const swr::PixelShaderConstants &Constants() const { return constants_; }
    // A device reset destroys every shader and zeroes the constants: the device's state
    // is lost, and handles from before the reset no longer name anything.
    void Reset();

private:
    std::vector<std::unique_ptr<swr::PixelShaderProgram>> programs_;
    swr::PixelShaderConstants constants_;
    DWORD current_ = 0;
};

}  // namespace d3d8
