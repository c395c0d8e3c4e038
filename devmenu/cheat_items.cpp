// The main items that change the heroes for testing: "Fill character's
// ability" (power, combo flags, move collision, life, power, extra power
// and money for every hero) and "Equipment", a browser of the equipment ids
// by slot that keeps and shows its value only.
#include <algorithm>
#include <cstdio>
#include <string>

#include "actor/hero.h"
#include "actor/item_records.h"
#include "app/game_system.h"
#include "devmenu/dev_menu.h"
#include "devmenu/dev_menu_pad.h"
#include "stage/stage_manager.h"

namespace {

enum AbilityEntry : int32_t {
    kEntryHp = 0,
    kEntryNormalPower = 1,
    kEntrySuperPower = 2,
    kEntryCombo = 3,
    kEntryMoveCollision = 4,
    kEntryHeal = 5,
    kEntryPower = 6,
    kEntryExtra = 7,
    kEntryMoneyAdd = 8,
    kEntryMoneyTake = 9,
};
constexpr int32_t kLastAbilityEntry = kEntryMoneyTake;
constexpr int32_t kComboMin = 3;
constexpr int32_t kComboMax = 8;
constexpr int32_t kCheatAmount = 9999;

bool IsMoneyEntry(int32_t entry) { return entry == kEntryMoneyAdd || entry == kEntryMoneyTake; }

// Every hero of the stage, in its order.
template <class Action>
void ForEachHero(Action action)
{
    const CSStageManager *stage = g_pStageManager;
    if (stage == nullptr) {
        return;
    }
    for (int32_t i = 0; i < stage->heroCount && i < kMaxHeroes; ++i) {
        if (stage->heroes[i] != nullptr) {
            action(stage->heroes[i]);
        }
    }
}

int32_t MoneyAmount(const int32_t (&digits)[5])
{
    int32_t amount = 0;
    for (int32_t digit : digits) {
        amount = amount * 10 + digit;
    }
    return amount;
}

void ApplyAbility(int32_t entry, int32_t comboCount, int32_t amount)
{
    ForEachHero([&](CSHero *hero) {
        switch (entry) {
        case kEntryNormalPower:
            hero->SetSuperPower(false);
            break;
        case kEntrySuperPower:
            hero->SetSuperPower(true);
            break;
        case kEntryCombo:
            for (int32_t k = kComboMin; k <= kComboMax; ++k) {
                hero->SetAbilityFlag(k, k <= comboCount ? 1 : 0);
            }
            break;
        case kEntryHeal:
            hero->AddHP(kCheatAmount);
            break;
        case kEntryPower:
            hero->AddPower(kCheatAmount);
            break;
        case kEntryExtra:
            hero->AddExtraPower(kCheatAmount);
            break;
        case kEntryMoneyAdd:
            hero->SetMoney(std::min(hero->money + amount, kHeroMoneyMax));
            break;
        case kEntryMoneyTake:
            hero->SetMoney(std::max(hero->money - amount, 0));
            break;
        default:
            break;
        }
    });
}

std::string AbilityLabel(int32_t entry, int32_t comboCount, const int32_t (&digits)[5], int32_t cursor)
{
    char text[kMenuLabelSize];
    switch (entry) {
    case kEntryHp:
        return "Increase HP useless now!";
    case kEntryNormalPower:
        return "Normal Power!";
    case kEntrySuperPower:
        return "Ready to be the super-man!";
    case kEntryCombo:
        std::snprintf(text, sizeof text, "Combo Count : %d", comboCount);
        return text;
    case kEntryMoveCollision:
        return g_pGameSystem != nullptr && g_pGameSystem->moveCollision != 0 ? "Move Collision : true"
                                                                                : "Move Collision : false";
    case kEntryHeal:
        return " HP Heal";
    case kEntryPower:
        return "MP Add";
    case kEntryExtra:
        return "Ex Add";
    default:
        break;
    }
    std::string out = entry == kEntryMoneyAdd ? "Give me money!!! : +" : "Oh! Don't take my money away!!! : -";
    for (int32_t i = 0; i < 5; ++i) {
        std::snprintf(text, sizeof text, i == cursor ? " %d " : "%d", digits[i]);
        out += text;
    }
    return out;
}

}  // namespace

void CSDevMenu::FillCharacterAbility()
{
    const DevMenuPad pad = ReadDevMenuPad();
    if (pad.Connected()) {
        if (IsMoneyEntry(abilityEntry)) {
            if (pad.Pressed(kPadL2)) {
                digitCursor = std::max(digitCursor - 1, 0);
            }
            if (pad.Pressed(kPadR2)) {
                digitCursor = std::min(digitCursor + 1, 4);
            }
        }
        if (pad.Pressed(kPadLeft)) {
            abilityEntry = std::max(abilityEntry - 1, 0);
        }
        if (pad.Pressed(kPadRight)) {
            abilityEntry = std::min(abilityEntry + 1, kLastAbilityEntry);
        }
        for (PadButton button : {kPadUp, kPadDown}) {
            if (!pad.Pressed(button)) {
                continue;
            }
            const int32_t step = button == kPadUp ? 1 : -1;
            if (abilityEntry == kEntryCombo) {
                comboCount = std::clamp(comboCount + step, kComboMin, kComboMax);
            } else if (abilityEntry == kEntryMoveCollision && g_pGameSystem != nullptr) {
                g_pGameSystem->moveCollision = g_pGameSystem->moveCollision != 0 ? 0 : 1;
            } else if (IsMoneyEntry(abilityEntry)) {
                int32_t &digit = moneyDigits[digitCursor];
                digit = std::clamp(digit + step, 0, 9);
            }
        }
        if (pad.Pressed(kPadCircle)) {
            ApplyAbility(abilityEntry, comboCount, MoneyAmount(moneyDigits));
            Close();
            return;
        }
        if (pad.Pressed(kPadCross)) {
            inItem = 0;
        }
    }
    std::snprintf(label, sizeof label, "%s",
                  AbilityLabel(abilityEntry, comboCount, moneyDigits, digitCursor).c_str());
}

// ---- "Equipment" ----

namespace {

struct EquipmentSlotRange {
    int32_t lowest;
    int32_t highest;
    const char *noItemText;
};
constexpr EquipmentSlotRange kEquipmentSlots[kHeroEquipSlots] = {
    {5100000, 5100030, "None Ring"},
    {5100040, 5100070, "None Pin"},
    {5100080, 5100100, "None bracer"},
};
constexpr int32_t kEquipmentIdStep = 10;

}  // namespace

// The id the hero wears in the slot, or the slot's no-item value; a menu
// opened where no hero exists (the front end) reads no item.
static int32_t WornEquipmentId(int32_t heroIndex, int32_t slot)
{
    const EquipmentSlotRange &range = kEquipmentSlots[slot];
    const CSStageManager *stage = g_pStageManager;
    const CSHero *hero = nullptr;
    if (stage != nullptr && heroIndex >= 0 && heroIndex < kMaxHeroes && heroIndex < stage->heroCount) {
        hero = stage->heroes[heroIndex];
    }
    const EquipContent *worn = hero != nullptr ? hero->GetEquippedItem(slot) : nullptr;
    return worn != nullptr ? worn->equipId : range.highest + kEquipmentIdStep;
}

void CSDevMenu::SelectEquipment()
{
    const auto takeWorn = [this] {
        const EquipmentSlotRange &range = kEquipmentSlots[equipmentSlot];
        lowestEquipmentId = range.lowest;
        highestEquipmentId = range.highest;
        if (equipmentId == 0) {
            equipmentId = WornEquipmentId(heroIndex, equipmentSlot);
        }
    };
    takeWorn();
    const DevMenuPad pad = ReadDevMenuPad();
    if (pad.Connected()) {
        if (pad.Pressed(kPadLeft) && equipmentSlot > 0) {
            --equipmentSlot;
            equipmentId = 0;
        }
        if (pad.Pressed(kPadRight) && equipmentSlot < kHeroEquipSlots - 1) {
            ++equipmentSlot;
            equipmentId = 0;
        }
        takeWorn();
        if (pad.Pressed(kPadUp)) {
            equipmentId = std::max(equipmentId - kEquipmentIdStep, lowestEquipmentId);
        }
        if (pad.Pressed(kPadDown)) {
            equipmentId = std::min(equipmentId + kEquipmentIdStep, highestEquipmentId + kEquipmentIdStep);
        }
        if (pad.Pressed(kPadCircle)) {
            Close();
            return;
        }
        if (pad.Pressed(kPadCross)) {
            inItem = 0;
        }
    }
    if (equipmentId == highestEquipmentId + kEquipmentIdStep) {
        std::snprintf(label, sizeof label, "%s", kEquipmentSlots[equipmentSlot].noItemText);
    }
}
