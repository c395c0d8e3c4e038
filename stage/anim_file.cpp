// Animation and motion-table files (see anim_file.h).
#include "stage/anim_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/path.h"
#include "rwstream.h"


MotionTable MotionTable::WholeAnimation(float durationSeconds)
{
    MotionTable table;
    table.motions.push_back({0, AnimationFrameCount(durationSeconds), true});
    return table;
}

RtAnimAnimation *ReadAnimationBytes(const char *name, const uint8_t *bytes, size_t size)
{
    if (bytes == nullptr || size == 0 || size > UINT32_MAX) {
        UserPrint("%s: an empty animation file\n", MessagePath(name).c_str());
        return nullptr;
    }
    RwMemoryDescriptor desc = {const_cast<RwUInt8 *>(bytes), static_cast<RwUInt32>(size)};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &desc);
    if (stream == nullptr) {
        return nullptr;
    }
    RwUInt32 length{};
    RtAnimAnimation *animation = nullptr;
    if (RwStreamReadChunkHeader(stream, nullptr, &length, nullptr, nullptr)) {
        const RwUInt64 saved = RwStreamEnterChunk(stream, length);
        animation = RtAnimAnimationStreamRead(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    RwStreamClose(stream, nullptr);
    if (animation == nullptr) {
        // A file that is there but refused whole: its model stands still,
        // so the user is told why whatever the diagnostics switch says.
        UserPrint("%s: not a readable animation\n", MessagePath(name).c_str());
    }
    return animation;
}

RtAnimAnimation *ReadAnimationFile(const char *path)
{
    std::vector<uint8_t> bytes;
    if (!zufReadAll(path, &bytes)) {
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

int32_t AnimationFrameCount(float durationSeconds)
{
    // None for a length that is no finite number or below none.
    return std::isfinite(durationSeconds)
               ? std::max(0, static_cast<int32_t>(std::round(durationSeconds * kAnimFramesPerSecond)))
               : 0;
}

MotionTable ReadMotionTable(CSKeywordFile *file, float durationSeconds)
{
    MotionTable table;
    if (file == nullptr || !file->IsOpen()) {
        return MotionTable::WholeAnimation(durationSeconds);
    }
    const int32_t lastFrame = AnimationFrameCount(durationSeconds);
    bool counted = false;
    int32_t defined = 0;
    while (file->NextLine()) {
        if (file->KeyIs("MotionNum:")) {
            int32_t count{};
            if (counted) {
                file->Report("a second MotionNum is ignored");
            } else if (file->Int(&count, 0, kMaxMotions)) {
                table.motions.assign(static_cast<size_t>(count), MotionRange{});
                counted = true;
            }
            continue;
        }
        if (!file->KeyIs("Motion:")) {
            continue;
        }
        int32_t v[3];
        if (!file->Ints(v, 3)) {
            continue;
        }
        if (!counted) {
            file->Report("a motion before MotionNum is skipped");
        } else if (v[0] < 0 || v[0] >= table.Count()) {
            file->Report("motion %d is outside 0..%d", v[0], table.Count() - 1);
        } else if (v[1] < 0 || v[1] > v[2] || v[2] > lastFrame) {
            file->Report("frames %d..%d are outside the animation's 0..%d", v[1], v[2], lastFrame);
        } else if (table.motions[static_cast<size_t>(v[0])].defined) {
            file->Report("motion %d appears twice; the second is skipped", v[0]);
        } else {
            table.motions[static_cast<size_t>(v[0])] = {v[1], v[2], true};
            ++defined;
        }
    }
    if (counted && defined != table.Count()) {
        file->Report("%d motions announced, %d read", table.Count(), defined);
    }
    if (defined == 0) {
        file->Report("no usable motion: motion 0 plays the whole animation");
        return MotionTable::WholeAnimation(durationSeconds);
    }
    return table;
}

MotionTable ReadMotionTableBeside(const char *animationPath, float durationSeconds)
{
    const std::string path = MotionFilePathFor(animationPath);
    CSKeywordFile file;
    if (!file.Open(path.c_str())) {
        return MotionTable::WholeAnimation(durationSeconds);
    }
    return ReadMotionTable(&file, durationSeconds);
}
