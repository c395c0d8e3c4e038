// The developer menu's clump-info list: every clump the game reads from a
// file or clones, with the name of its file, for the clump logs, the
// animation manager and the resource report (see dev_menu.h). The game
// system changes it under the render lock.
#include <cstring>

#include "devmenu/dev_menu.h"

namespace {

// The file name after the last folder separator.
const char *FileNameOf(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    return name;
}

}  // namespace

void CSDevMenu::AddClumpInfo(RpClump *clump, const char *path)
{
    if (clump == nullptr || FindClumpName(clump) != nullptr) {
        return;
    }
    clumpInfos.push_back({clump, FileNameOf(path != nullptr ? path : "")});
}

void CSDevMenu::CopyClumpInfo(RpClump *clone, RpClump *source)
{
    if (clone == nullptr || source == nullptr || FindClumpName(clone) != nullptr) {
        return;
    }
    const char *name = FindClumpName(source);
    if (name != nullptr) {
        // The name is copied before the list grows, which may move it.
        std::string copy = name;
        clumpInfos.push_back({clone, std::move(copy)});
    }
}

void CSDevMenu::ClearClumpInfo(RpClump *clump)
{
    for (auto it = clumpInfos.begin(); it != clumpInfos.end(); ++it) {
        if (it->clump == clump) {
            clumpInfos.erase(it);
            return;
        }
    }
}

const char *CSDevMenu::FindClumpName(const RpClump *clump) const
{
    for (const DevMenuClumpInfo &info : clumpInfos) {
        if (info.clump == clump) {
            return info.name.c_str();
        }
    }
    return nullptr;
}
