// Item icons (see item_icons.h).
#include "actor/item_icons.h"

#include <cstdio>

#include "actor/item_manager.h"
#include "app/file.h"
#include "app/textures.h"
#include "stage/stage_manager.h"

std::string IconSheetName(int32_t sheet)
{
    char name[16];
    std::snprintf(name, sizeof name, "%03d.BMP", static_cast<int>(sheet + 1));
    return name;
}

int32_t CSWorldItemManager::LoadIconSheets()
{
    Release();
    int32_t loaded = 0;
    RwImageSetPath(kIconSheetFolder);
    for (int32_t sheet = 0; sheet < kMaxIconSheets; ++sheet) {
        const std::string name = IconSheetName(sheet);
        // Missing sheets are quiet: a data tree has as many as it needs.
        RwTexture *texture = nullptr;
        if (zufexists((std::string(kIconSheetFolder) + name).c_str())) {
            texture = LoadTextureWithMask(name.c_str(), nullptr);
        }
        sheets_.push_back(texture);
        loaded += texture != nullptr ? 1 : 0;
    }
    RwImageSetPath("");
    return loaded;
}

RwTexture *CSWorldItemManager::GetItemTexture(int32_t icon) const
{
    if (icon < 0) {
        return nullptr;
    }
    const auto sheet = static_cast<size_t>(icon / kIconCellsPerSheet);
    return sheet < sheets_.size() ? sheets_[sheet] : nullptr;
}

void CSWorldItemManager::Release()
{
    for (RwTexture *texture : sheets_) {
        DestroyTexture(texture);
    }
    sheets_.clear();
}

namespace {

const CSItemManager *ItemsOrStage(const CSItemManager *items)
{
    if (items != nullptr) {
        return items;
    }
    return g_pStageManager != nullptr ? g_pStageManager->itemManager : nullptr;
}

}  // namespace

int32_t GetItemIconIndex(int32_t itemId, const CSItemManager *items)
{
    const CSItemManager *manager = ItemsOrStage(items);
    const ItemContent *content = manager != nullptr ? manager->FindItemContent(itemId) : nullptr;
    return content != nullptr ? content->icon : kNoItemIcon;
}

bool GetIconCellUV(int32_t icon, float *s0, float *t0, float *s1, float *t1)
{
    if (icon < 0) {
        *s0 = *t0 = *s1 = *t1 = 0.0f;
        return false;
    }
    const int32_t cell = icon & (kIconCellsPerSheet - 1);
    *s0 = static_cast<float>(cell % 4) * kIconCellSize;
    *t0 = static_cast<float>(cell / 4) * kIconCellSize;
    *s1 = *s0 + kIconCellSize;
    *t1 = *t0 + kIconCellSize;
    return true;
}

bool GetItemIconUV(int32_t itemId, float *s0, float *t0, float *s1, float *t1, const CSItemManager *items)
{
    return GetIconCellUV(GetItemIconIndex(itemId, items), s0, t0, s1, t1);
}
