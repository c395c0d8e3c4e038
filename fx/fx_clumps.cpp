// Models for the effects (see fx_clumps.h).
#include "fx/fx_clumps.h"

#include <cstring>
#include <vector>

#include "app/debug.h"
#include "app/file.h"
#include "app/locks.h"

RpClump *FxLoadClump(const char *path, const char *texturePath)
{
    std::vector<uint8_t> bytes;
    if (path == nullptr || !zufReadAll(path, &bytes) || bytes.empty()) {
        return nullptr;
    }
    if (texturePath != nullptr) {
        RwImageSetPath(texturePath);
    }
    RwMemoryDescriptor memory = {bytes.data(), static_cast<RwUInt32>(bytes.size())};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &memory);
    RpClump *clump = nullptr;
    if (stream != nullptr) {
        RwUInt32 length = 0;
        RwUInt32 version = 0;
        if (RwStreamFindChunk(stream, rwID_CLUMP, &length, &version)) {
            const RwUInt64 saved = RwStreamEnterChunk(stream, length);
            clump = RpClumpStreamRead(stream);
            RwStreamLeaveChunk(stream, saved);
        }
        RwStreamClose(stream, &memory);
    }
    if (clump == nullptr) {
        DebugPrint("Clump Name:%s The Clump is no avail.\n", path);
    }
    return clump;
}

RpClump *FxCloneClump(RpClump *clump)
{
    if (clump == nullptr) {
        return nullptr;
    }
    CSRenderLockGuard lock;
    return RpClumpClone(clump);
}

void FxDestroyClump(RpClump *clump)
{
    if (clump == nullptr) {
        return;
    }
    CSRenderLockGuard lock;
    if (RpClumpGetWorld(clump) != nullptr) {
        RpWorldRemoveClump(RpClumpGetWorld(clump), clump);
    }
    RpClumpDestroy(clump);
}

void FxFolderOf(const char *path, char *out, size_t size)
{
    if (size == 0) {
        return;
    }
    const char *slash = std::strrchr(path, '\\');
    const char *fwd = std::strrchr(path, '/');
    if (fwd != nullptr && (slash == nullptr || fwd > slash)) {
        slash = fwd;
    }
    size_t length = slash != nullptr ? static_cast<size_t>(slash - path) + 1 : 0;
    if (length >= size) {
        length = size - 1;
    }
    std::memcpy(out, path, length);
    out[length] = '\0';
}
