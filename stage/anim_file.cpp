// Animation and motion-table files (see anim_file.h).
#include "stage/anim_file.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "rwstream.h"

namespace {

bool ReadAll(const char *path, std::vector<uint8_t> *bytes)
{
    FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    uint8_t buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes->insert(bytes->end(), buffer, buffer + got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

}  // namespace

MotionTable MotionTable::WholeAnimation(float durationSeconds)
{
    MotionTable table;
    const float frames = std::isfinite(durationSeconds) && durationSeconds > 0.0f
                             ? std::round(durationSeconds * kAnimFramesPerSecond)
                             : 0.0f;
    table.motions.push_back({0, static_cast<int32_t>(frames), true});
    return table;
}

RtAnimAnimation *ReadAnimationBytes(const char *name, const uint8_t *bytes, size_t size)
{
    if (bytes == nullptr || size == 0 || size > UINT32_MAX) {
        std::fprintf(stderr, "%s: empty animation file\n", name);
        return nullptr;
    }
    RwMemoryDescriptor desc = {const_cast<RwUInt8 *>(bytes), static_cast<RwUInt32>(size)};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &desc);
    if (stream == nullptr) {
        return nullptr;
    }
    RwUInt32 type = 0;
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    RwUInt32 build = 0;
    RtAnimAnimation *animation = nullptr;
    if (RwStreamReadChunkHeader(stream, &type, &length, &version, &build)) {
        const RwUInt64 saved = RwStreamEnterChunk(stream, length);
        animation = RtAnimAnimationStreamRead(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    RwStreamClose(stream, nullptr);
    if (animation == nullptr) {
        std::fprintf(stderr, "%s: not a readable animation\n", name);
    }
    return animation;
}

RtAnimAnimation *ReadAnimationFile(const char *path)
{
    std::vector<uint8_t> bytes;
    if (!ReadAll(path, &bytes)) {
        std::fprintf(stderr, "zufopen fail: %s\n", path);
        return nullptr;
    }
    return ReadAnimationBytes(path, bytes.data(), bytes.size());
}

std::string MotionFilePathFor(const char *animationPath)
{
    std::string path = animationPath;
    const size_t slash = path.find_last_of("\\/");
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        path.erase(dot);
    }
    return path + ".AMF";
}

MotionTable ReadMotionTableBeside(const char *, float durationSeconds)
{
    return MotionTable::WholeAnimation(durationSeconds);
}
