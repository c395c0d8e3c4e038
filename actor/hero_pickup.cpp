// The hero picks up drops (see hero.h): an item lying in the stage's
// effects pool within the hero's body radius + 5 goes into the shared list
// (ItemType 7) or the hero's own (its player slot + 1); the popup shows it
// and the drop goes. A drop the list cannot take (OwnLimit reached, or an
// item the table does not know) stays where it lies.
#include <cmath>

#include "actor/actor_screen_calls.h"
#include "actor/hero.h"
#include "actor/item_manager.h"
#include "app/trace.h"
#include "fx/xdt_effect_pool.h"
#include "stage/character_params.h"
#include "stage/stage_manager.h"

namespace {

constexpr float kPickUpMargin = 5.0f;

}  // namespace

int32_t CSHero::PickUpDrops(CSStageManager *stage)
{
    CSXdtEffectPool *pool = stage != nullptr ? stage->xdtEffectPool : nullptr;
    CSItemManager *items = stage != nullptr ? stage->itemManager : nullptr;
    const int32_t slot = stage != nullptr ? PlayerSlot(*stage) : -1;
    if (pool == nullptr || items == nullptr || slot < 0) {
        return 0;
    }
    const CharacterParams *params = Params();
    const float reach = (params != nullptr ? params->radius : 0.0f) + kPickUpMargin;
    const RwV3d at = *GetPositionPtr();
    int32_t taken = 0;
    for (int32_t i = 0; i < pool->EntryCount(); ++i) {
        XdtEffectEntry *entry = pool->Entry(i);
        if (entry == nullptr || entry->state != kXdtResting || entry->kind == kXdtEffect || entry->id == 0) {
            continue;
        }
        const float dx = entry->position.x - at.x;
        const float dy = entry->position.y - at.y;
        const float dz = entry->position.z - at.z;
        if (std::sqrt(dx * dx + dy * dy + dz * dz) > reach) {
            continue;
        }
        const ItemContent *content = items->FindItemContent(entry->id);
        const int32_t list = content != nullptr && content->itemType == kItemTypeShared ? kItemListShared : slot + 1;
        if (!items->AddItem(list, entry->id)) {
            continue;
        }
        if (game::TraceOn()) {
            game::TraceLine("pickup").Int(aiId).Int(entry->id).Int(list);
        }
        ScreensShowItemPopup(1, entry->id);
        pool->Take(entry);
        ++taken;
    }
    return taken;
}
