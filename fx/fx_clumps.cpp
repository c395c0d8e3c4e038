// Models for the effects (see fx_clumps.h).
#include "fx/fx_clumps.h"

#include <cstring>

#include "app/game_system.h"

RpClump *FxLoadClump(const char *path, const char *texturePath) { return LoadClumpFile(path, texturePath); }

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
