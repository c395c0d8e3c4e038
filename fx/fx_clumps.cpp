// Models for the effects (see fx_clumps.h): the game system's clump
// handling, and the same steps when there is no game system (tools, tests).
#include "fx/fx_clumps.h"

#include <cstring>

#include "app/game_system.h"
#include "app/locks.h"

RpClump *FxLoadClump(const char *path, const char *texturePath) { return LoadClumpFile(path, texturePath); }

RpClump *FxCloneClump(RpClump *clump)
{
    if (g_pGameSystem != nullptr) {
        return g_pGameSystem->CloneClump(clump);
    }
    if (clump == nullptr) {
        return nullptr;
    }
    CSRenderLockGuard lock;
    return RpClumpClone(clump);
}

void FxDestroyClump(RpClump *clump)
{
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->DestroyClump(clump);
        return;
    }
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
