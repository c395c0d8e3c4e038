// Decoding of ps 1.x token streams and the device's table of shaders.
#include "pixel_shader.h"

#include <cstring>

namespace d3d8 {

namespace {

struct OpInfo {
    DWORD opcode;
    swr::PsOp op;
    uint8_t sources;
};

constexpr OpInfo kOps[] = {
    {ps::kNop, swr::PsOp::Nop, 0}, {ps::kMov, swr::PsOp::Mov, 1}, {ps::kAdd, swr::PsOp::Add, 2},
    {ps::kSub, swr::PsOp::Sub, 2}, {ps::kMad, swr::PsOp::Mad, 3}, {ps::kMul, swr::PsOp::Mul, 2},
    {ps::kDp3, swr::PsOp::Dp3, 2}, {ps::kLrp, swr::PsOp::Lrp, 3}, {ps::kTex, swr::PsOp::Tex, 0},
};

const OpInfo *FindOp(DWORD opcode)
{
    for (const OpInfo &info : kOps)
        if (info.opcode == opcode) return &info;
    return nullptr;
}

bool DecodeRegister(DWORD token, swr::PsReg *type, uint8_t *index)
{
    DWORD t = (token >> 28) & 7u;
    DWORD n = token & 0x7FFu;
    uint32_t limit = 0;
    switch (t) {
    case 0: *type = swr::PsReg::Temp; limit = swr::kPsTempRegisters; break;
    case 1: *type = swr::PsReg::Input; limit = swr::kPsInputRegisters; break;
    case 2: *type = swr::PsReg::Const; limit = swr::kPsConstRegisters; break;
    case 3: *type = swr::PsReg::Texture; limit = swr::kPsTextureRegisters; break;
    default: return false;
    }
    if (n >= limit) return false;
    *index = static_cast<uint8_t>(n);
    return true;
}

bool DecodeSource(DWORD token, swr::PsSource *src)
{
    if (!(token & ps::kParam) || !DecodeRegister(token, &src->type, &src->index)) return false;
    DWORD swizzle = (token >> 16) & 0xFFu;
    for (int i = 0; i < 4; ++i) src->swizzle[i] = static_cast<uint8_t>((swizzle >> (2 * i)) & 3u);
    DWORD mod = (token >> 24) & 0xFu;
    if (mod > 8) return false;
    src->modifier = static_cast<swr::PsMod>(mod);
    return true;
}

bool DecodeDest(DWORD token, swr::PsInstruction *ins)
{
    if (!(token & ps::kParam) || !DecodeRegister(token, &ins->destType, &ins->destIndex)) return false;
    // Only temporaries are written, except that tex names its texture register.
    if (ins->op == swr::PsOp::Tex ? ins->destType != swr::PsReg::Texture : ins->destType != swr::PsReg::Temp)
        return false;
    ins->writeMask = static_cast<uint8_t>((token >> 16) & 0xFu);
    DWORD modifier = (token >> 20) & 0xFu;
    if (modifier & ~1u) return false;
    ins->saturate = modifier != 0;
    DWORD shift = (token >> 24) & 0xFu;
    switch (shift) {
    case 0: ins->shift = 0; break;
    case 1: ins->shift = 1; break;
    case 2: ins->shift = 2; break;
    case 0xF: ins->shift = -1; break;
    default: return false;
    }
    return true;
}

}  // namespace

bool DecodePixelShader(const DWORD *tokens, size_t maxTokens, swr::PixelShaderProgram *out)
{
    if (tokens == nullptr || out == nullptr) return false;
    size_t limit = maxTokens == 0 ? SIZE_MAX : maxTokens;
    if (limit < 2 || (tokens[0] != ps::kVersion10 && tokens[0] != ps::kVersion11)) return false;
    swr::PixelShaderProgram program;
    program.version = tokens[0] & 0xFFFFu;
    size_t pos = 1;
    // Every instruction is bounded by the 32 we keep plus the tokens they
    // span, so a stream without an end token cannot run on for ever.
    const size_t hardLimit = 1 + swr::kPsMaxInstructions * 5 + 64;
    while (pos < limit && pos < hardLimit) {
        DWORD token = tokens[pos++];
        if (token == ps::kEnd) {
            *out = program;
            return true;
        }
        DWORD opcode = token & 0xFFFFu;
        if (opcode == ps::kCommentOpcode) {
            size_t words = (token >> 16) & 0x7FFFu;
            pos += words;
            continue;
        }
        const OpInfo *info = FindOp(opcode);
        if (info == nullptr || program.count >= swr::kPsMaxInstructions) return false;
        swr::PsInstruction ins;
        ins.op = info->op;
        ins.sourceCount = info->sources;
        if (info->op != swr::PsOp::Nop) {
            if (pos >= limit || !DecodeDest(tokens[pos++], &ins)) return false;
        }
        for (uint8_t s = 0; s < info->sources; ++s) {
            if (pos >= limit || !DecodeSource(tokens[pos++], &ins.src[s])) return false;
        }
        if (info->op == swr::PsOp::Tex) {
            program.sampledStages |= 1u << ins.destIndex;
        }
        program.code[program.count++] = ins;
    }
    return false;
}

HRESULT PixelShaderTable::Create(const DWORD *tokens, DWORD *handle)
{
    if (handle == nullptr) return D3DERR_INVALIDCALL;
    *handle = 0;
    auto program = std::make_unique<swr::PixelShaderProgram>();
    if (!DecodePixelShader(tokens, 0, program.get())) return D3DERR_INVALIDCALL;
    for (size_t i = 0; i < programs_.size(); ++i) {
        if (!programs_[i]) {
            programs_[i] = std::move(program);
            *handle = static_cast<DWORD>(2 * i + 1);
            return D3D_OK;
        }
    }
    programs_.push_back(std::move(program));
    *handle = static_cast<DWORD>(2 * (programs_.size() - 1) + 1);
    return D3D_OK;
}

HRESULT PixelShaderTable::Delete(DWORD handle)
{
    if (!(handle & 1u) || (handle >> 1) >= programs_.size() || !programs_[handle >> 1]) return D3DERR_INVALIDCALL;
    programs_[handle >> 1].reset();
    if (current_ == handle) current_ = 0;
    return D3D_OK;
}

HRESULT PixelShaderTable::Set(DWORD handle)
{
    if (handle != 0 && (!(handle & 1u) || (handle >> 1) >= programs_.size() || !programs_[handle >> 1]))
        return D3DERR_INVALIDCALL;
    current_ = handle;
    return D3D_OK;
}

HRESULT PixelShaderTable::SetConstant(DWORD first, const void *data, DWORD count)
{
    if (data == nullptr || first >= swr::kPsConstRegisters || count > swr::kPsConstRegisters - first)
        return D3DERR_INVALIDCALL;
    std::memcpy(constants_.c[first], data, sizeof(float) * 4 * count);
    return D3D_OK;
}

HRESULT PixelShaderTable::GetConstant(DWORD first, void *data, DWORD count) const
{
    if (data == nullptr || first >= swr::kPsConstRegisters || count > swr::kPsConstRegisters - first)
        return D3DERR_INVALIDCALL;
    std::memcpy(data, constants_.c[first], sizeof(float) * 4 * count);
    return D3D_OK;
}

void PixelShaderTable::Reset()
{
    programs_.clear();
    constants_ = swr::PixelShaderConstants();
    current_ = 0;
}

const swr::PixelShaderProgram *PixelShaderTable::Bound() const
{
    if (current_ == 0 || (current_ >> 1) >= programs_.size()) return nullptr;
    return programs_[current_ >> 1].get();
}

}  // namespace d3d8
