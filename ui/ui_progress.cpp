// The screen manager's stage ids, progress, carried state and stage clock
// (see ui_manager.h).
#include <algorithm>

#include "actor/hero.h"
#include "actor/item_manager.h"
#include "app/application.h"
#include "app/game_system.h"
#include "ui/stage_table.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

namespace {

// Adds `count` of the item to the owner's list, never more than the item
// may be owned; an item the tables do not know (its limit -1) adds none.
void AddCarriedItem(const UILinks &l, int32_t list, uint32_t id, int32_t count)
{
    if (id == 0) {
        return;
    }
    const int32_t n = std::min(count, l.itemOwnLimit(id));
    for (int32_t i = 0; i < n; ++i) {
        if (!l.addItem(list, id)) {
            break;
        }
    }
}

// The block's equipment and learned abilities onto a freshly loaded hero:
// each slot whose id the item tables hold as equipment of that slot's kind
// (a weapon in slot 2, armour in 0 and 1) is worn; an empty or unknown slot
// keeps what the hero has (the start weapon).
void ApplyCarriedEquipment(const UILinks &l, const CarriedHero &block, CSHero *hero)
{
    const CSItemManager *items = l.items != nullptr ? l.items() : nullptr;
    for (int32_t slot = 0; slot < kHeroEquipSlots && items != nullptr; ++slot) {
        const EquipContent *record =
            block.equipped[slot] != 0 ? items->FindEquipContent(static_cast<int32_t>(block.equipped[slot])) : nullptr;
        if (record == nullptr || record->IsWeapon() != (slot == kHeroWeaponSlot)) {
            continue;
        }
        // The hero's figures follow before their next use.
        hero->UnequipSlot(slot);
        hero->EquipItem(record, slot);
    }
    for (int32_t flag = kFirstOpenAbilityFlag; flag != kHeroAbilityFlags; ++flag) {
        hero->SetAbilityFlag(flag, block.abilityFlags[flag] != 0 ? 1 : 0);
    }
}

}  // namespace

void CSUIManager::SetLastStageId(int32_t numberOrId)
{
    if (const StageRow *row = FindStageRow(numberOrId)) {
        lastStageId_ = static_cast<uint32_t>(StageIdOfNumber(row->number));
    }
}

const char16_t *CSUIManager::GetStageName(int32_t id) const
{
    const StageRow *row = FindStageRowById(id);
    if (row == nullptr || g_pGameSystem == nullptr) {
        return nullptr;
    }
    return g_pGameSystem->messageBox.Table().Text(kStageNameEntry, static_cast<size_t>(row->nameText));
}

int32_t CSUIManager::MarkStageCleared(int32_t number)
{
    const int32_t slot = StageNumberToSlot(number);
    if (slot < 0) {
        return slot;
    }
    progress.cleared[slot] = 1;
    progress.clearedWord = 0;
    // Slot 0 (stage 1) never enters the list: 0 marks an empty entry.
    if (slot >= 1) {
        for (uint32_t &entry : progress.clearedList) {
            if (entry == static_cast<uint32_t>(slot)) {
                break;
            }
            if (entry == 0) {
                entry = static_cast<uint32_t>(slot);
                break;
            }
        }
    }
    return slot;
}

int32_t CSUIManager::SetStageFlag(int32_t number, uint8_t value)
{
    const int32_t slot = StageNumberToSlot(number);
    if (slot >= 0) {
        heroBlock.grades[slot] = value;
    }
    return slot;
}

void CSUIManager::ApplyCarriedState()
{
    const UILinks &l = UI();
    if (l.hasItemOwner()) {
        l.clearOwnedLists();
        for (int i = 0; i < kCarriedItems; ++i) {
            AddCarriedItem(l, 0, progress.itemIds[i], progress.itemCounts[i]);
        }
        for (int i = 0; i < kCarriedHeroItems; ++i) {
            AddCarriedItem(l, 1, heroBlock.itemIds[i], heroBlock.itemCounts[i]);
        }
    }
    if (CSHero *hero = l.firstHero()) {
        // Each kept within the hero's caps and range.
        hero->SetHPLevel(heroBlock.hpLevel);
        hero->SetPowerLevel(heroBlock.powerLevel);
        hero->SetMoney(heroBlock.money);
        ApplyCarriedEquipment(l, heroBlock, hero);
    }
}

void CSUIManager::CheckExtraStages()
{
    static const int32_t kExtraStageIds[3] = {2400000, 2410000, 2420000};
    for (int i = 0; i < 3; ++i) {
        extraStages_[i] = static_cast<uint32_t>(CheckExtraStageFile(kExtraStageIds[i]));
    }
}

void CSUIManager::AddStageTime(uint32_t ms)
{
    if (!UI().isMoviePlaying()) {
        stagePlayMs_ += ms;
    }
}

void CSUIManager::ResetStageClock()
{
    lastStagePlayMs_ = stagePlayMs_;
    stagePlayMs_ = 0;
}

void CSUIManager::CopyHeroBestCounter()
{
    CSHero *hero = UI().firstHero();
    heroBestCounter_ = hero != nullptr ? hero->bestHitCounter : 0;
}

void CSUIManager::CopyHeroValue()
{
    CSHero *hero = UI().firstHero();
    heroStageValue_ = hero != nullptr ? hero->stageMoney : 0;
}
