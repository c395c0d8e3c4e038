// The hero's levels, life, power, money, ability flags and equipment (see
// hero.h).
#include "actor/hero.h"

#include <algorithm>

#include "actor/item_records.h"
#include "app/int_range.h"
#include "stage/character_params.h"

namespace {

// The hero type's index into the cap tables (0 or 1).
int32_t TypeIndex(int32_t aiType) { return aiType == kAiTypeHero1 ? 1 : 0; }

bool ValidSlot(int32_t slot) { return slot >= 0 && slot < kHeroEquipSlots; }

}  // namespace

int32_t CSHero::GetMaxHP()
{
    if (equipmentDirty) {
        RecomputeEquipment();
    }
    const CharacterParams *params = Params();
    const int64_t base = params != nullptr ? params->maxHP : 0;
    return game::ClampToInt32(int64_t{hpLevel} * kHpPerLevel + base + equipHpBonus, 0, INT32_MAX);
}

int32_t CSHero::GetMaxPower() const
{
    const CharacterParams *params = Params();
    const int64_t base = params != nullptr ? params->maxPower : 0;
    return game::ClampToInt32(int64_t{powerLevel} * kPowerPerLevel + base, 0, INT32_MAX);
}

bool CSHero::SetHPLevel(int32_t level)
{
    if (level < 0 || level > kHeroHpLevelCap[TypeIndex(aiType)]) {
        return false;
    }
    hpLevel = level;
    return true;
}

bool CSHero::SetPowerLevel(int32_t level)
{
    if (level < 0 || level > kHeroPowerLevelCap[TypeIndex(aiType)]) {
        return false;
    }
    powerLevel = level;
    return true;
}

void CSHero::SetMoney(int32_t value) { money = std::clamp(value, 0, kHeroMoneyMax); }

void CSHero::AddHP(int32_t amount) { hp = game::ClampToInt32(int64_t{hp} + amount, 0, GetMaxHP()); }

void CSHero::AddPower(int32_t amount) { power = game::ClampToInt32(int64_t{power} + amount, 0, GetMaxPower()); }

void CSHero::SetSuperPower(bool on)
{
    superPower = on;
    RecomputeEquipment();
}

int32_t CSHero::GetAbilityFlag(int32_t index) const
{
    return index >= kFirstOpenAbilityFlag && index < kHeroAbilityFlags ? abilityFlags[index] : 0;
}

void CSHero::SetAbilityFlag(int32_t index, int32_t value)
{
    if (index >= kFirstOpenAbilityFlag && index < kHeroAbilityFlags) {
        abilityFlags[index] = static_cast<uint8_t>(value);
    }
}

const EquipContent *CSHero::GetEquippedItem(int32_t slot) const
{
    return ValidSlot(slot) ? equipped[slot] : nullptr;
}

bool CSHero::EquipItem(const EquipContent *record, int32_t slot)
{
    if (record == nullptr || !ValidSlot(slot)) {
        return false;
    }
    equipped[slot] = record;
    equipmentDirty = true;
    return true;
}

int32_t CSHero::UnequipSlot(int32_t slot)
{
    if (!ValidSlot(slot)) {
        return 0;
    }
    if (equipped[slot] == nullptr) {
        return 1;
    }
    equipped[slot] = nullptr;
    if (slot == kHeroWeaponSlot) {
        DetachWeapon();
    }
    equipmentDirty = true;
    return 1;
}

void CSHero::RecomputeEquipment()
{
    equipmentDirty = false;
    int64_t attack = 0;
    int64_t defense = 0;
    int64_t life = 0;
    int64_t weapon[2] = {0, 0};
    int64_t armour[2] = {0, 0};
    for (const EquipContent *record : equipped) {
        if (record == nullptr) {
            continue;
        }
        if (record->IsWeapon()) {
            weapon[0] += record->prop[0];
            weapon[1] += record->prop[1];
            attack += record->prop[0];
        } else {
            armour[0] += record->prop[0];
            armour[1] += record->prop[1];
            defense += record->prop[0];
            life += record->prop[1];
        }
    }
    for (int i = 0; i < 2; ++i) {
        weaponProp[i] = game::ClampToInt32(weapon[i]);
        armourProp[i] = game::ClampToInt32(armour[i]);
    }
    equipAttackBonus = superPower ? kSuperPowerAttackBonus : game::ClampToInt32(attack);
    equipDefenseBonus = game::ClampToInt32(defense);
    equipHpBonus = game::ClampToInt32(life);
    // Taking off life-giving armour takes the life above the new maximum.
    hp = std::min(hp, GetMaxHP());
    RefreshAura();
    AttachWeapon();
}

int32_t CSHero::GetAttackBonus()
{
    if (equipmentDirty) {
        RecomputeEquipment();
    }
    return equipAttackBonus;
}

int32_t CSHero::GetDefense()
{
    if (equipmentDirty) {
        RecomputeEquipment();
    }
    const CharacterParams *params = Params();
    return game::ClampToInt32(int64_t{params != nullptr ? params->defense : 0} + equipDefenseBonus);
}
