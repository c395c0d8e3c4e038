// The status page's equipment: the slot icons, the property icons, and in
// the lobby equipping a weapon, choosing the slot for armour and the
// question before taking worn armour off (see character_page.h).
#include <iterator>

#include "actor/hero.h"
#include "actor/item_records.h"
#include "ui/character_page.h"
#include "ui/character_page_layout.h"
#include "ui/ui_manager.h"

namespace L = status_layout;

namespace {

constexpr int32_t kUnequipQuestionWord = 5;
constexpr float kFrameMarginLeft = 10.0f;   // the frame moved by left
constexpr float kFrameMarginRight = 7.0f;   // ... and by right
constexpr float kBlinkSeconds = 1.0f;


void UnequipAnswer(uint32_t choice, uint32_t)
{
    if (g_pUnequipQuestionPage != nullptr) {
        g_pUnequipQuestionPage->OnUnequipAnswer(choice);
    }
}

}  // namespace

void CSCharacterPage::RefreshSlotIcons()
{
    const CSHero *hero = Hero();
    for (int32_t slot = 0; slot < 2; ++slot) {
        const EquipContent *worn = hero != nullptr ? hero->GetEquippedItem(slot) : nullptr;
        const int32_t id = worn != nullptr ? worn->equipId : 0;
        const UIIconCell *cell =
            id != 0 && g_pUIManager != nullptr ? g_pUIManager->GetWeaponIcon(static_cast<uint32_t>(id)) : nullptr;
        slotIconShown_[slot] = cell != nullptr ? 1 : 0;
        if (cell != nullptr) {
            const L::Screen &r = L::kSlotIcons[slot];
            slotIcons_[slot].SetUV(cell->texture, cell->s0, cell->t0, cell->s1, cell->t1, r.x0, r.y0, r.x1, r.y1,
                                   L::kOpaque);
        }
        if (equipPage_ != nullptr) {
            equipPage_->slotIds[slot] = id;
        }
    }
    const EquipContent *weapon = hero != nullptr ? hero->GetEquippedItem(kHeroWeaponSlot) : nullptr;
    // While a weapon is highlighted the hero wears its preview: the
    // confirmed weapon is the equipment page's.
    const EquipEntry *highlighted = equipPage_ != nullptr ? equipPage_->SelectedEntry() : nullptr;
    const bool previewing = equipPage_ != nullptr && equipPage_->active != 0 && highlighted != nullptr &&
                            highlighted->kind == kEquipKindWeapon && equipPage_->slotIds[kHeroWeaponSlot] != 0;
    slot2Weapon_ = previewing ? equipPage_->slotIds[kHeroWeaponSlot] : (weapon != nullptr ? weapon->equipId : 0);
    if (equipPage_ != nullptr) {
        equipPage_->slotIds[kHeroWeaponSlot] = slot2Weapon_;
    }
}

void CSCharacterPage::UpdatePropertyIcons()
{
    const CSHero *hero = Hero();
    // Only the open equipment tab has a highlighted entry.
    const EquipEntry *highlighted =
        equipPage_ != nullptr && equipPage_->active != 0 ? equipPage_->SelectedEntry() : nullptr;
    const EquipContent *weapon = nullptr;
    if (highlighted != nullptr && highlighted->kind == kEquipKindWeapon) {
        weapon = FindEquipRecord(highlighted->itemId);
    } else {
        weapon = FindEquipRecord(slot2Weapon_);
    }
    bool weaponHas[2] = {weapon != nullptr && weapon->prop[0] != 0, weapon != nullptr && weapon->prop[1] != 0};
    bool armourHas[2] = {false, false};
    for (int32_t slot = 0; slot < 2; ++slot) {
        const EquipContent *worn = hero != nullptr ? hero->GetEquippedItem(slot) : nullptr;
        for (size_t k = 0; k < std::size(armourHas); ++k) {
            armourHas[k] = armourHas[k] || (worn != nullptr && worn->prop[k] != 0);
        }
    }
    if (slotChoice != 0 && highlighted != nullptr) {
        const EquipContent *record = FindEquipRecord(highlighted->itemId);
        for (int k = 0; k < 2; ++k) {
            armourHas[k] = armourHas[k] || (record != nullptr && record->prop[k] != 0);
        }
    }
    weaponIconCount_ = 0;
    armourIconCount_ = 0;
    for (int k = 0; k < 2; ++k) {
        const L::Source &icon = L::kPropertyIcons[k];
        if (weaponHas[k]) {
            const int place = weaponIconCount_++;
            weaponIconKind_[place] = k;
            weaponIcons_[place].SetUV(UIPlayerArt(), icon.s0, icon.t0, icon.s1, icon.t1, L::kPropertyX[place][0],
                                      L::kWeaponRowY[0], L::kPropertyX[place][1], L::kWeaponRowY[1], L::kOpaque);
        }
        if (armourHas[k]) {
            const int place = armourIconCount_++;
            armourIconKind_[place] = k;
            const float x0 = L::kPropertyX[place][0];
            const float x1 = L::kPropertyX[place][1];
            armourIcons_[place].SetUV(UIPlayerArt(), icon.s0, icon.t0, icon.s1, icon.t1, x0, L::kArmourRowY[0], x1,
                                      L::kArmourRowY[1], L::kOpaque);
            const L::Source &b = L::kPropertyBacking;
            armourBackings_[place].SetUV(UIPlayerArt(), b.s0, b.t0, b.s1, b.t1, x0, L::kArmourRowY[0], x1 - 1.0f,
                                         L::kArmourRowY[1] + 3.0f, L::kOpaque);
        }
    }
}

void CSCharacterPage::PlaceSlotChoiceFrame(float margin)
{
    if (slotChoiceFrame_ == nullptr) {
        slotChoiceFrame_ = std::make_unique<OwnedPicture>();
        slotChoiceFrame_->SetUV(UIPlayerArt(), L::kSlotChoiceFrame.s0, L::kSlotChoiceFrame.t0, L::kSlotChoiceFrame.s1,
                                L::kSlotChoiceFrame.t1, 0.0f, 0.0f, 0.0f, 0.0f, L::kSlotChoiceColour);  // placed below
    }
    const L::Screen &icon = L::kSlotIcons[chosenSlot];
    UIPicture &p = slotChoiceFrame_->picture;
    p.left = icon.x0 - margin;
    p.top = icon.y0 - margin;
    p.right = icon.x1 + margin;
    p.bottom = icon.y1 + margin;
    p.Place();
}

void CSCharacterPage::BeginEquip()
{
    const EquipEntry *entry = equipPage_ != nullptr ? equipPage_->SelectedEntry() : nullptr;
    if (entry == nullptr) {
        return;  // no equipment owned
    }
    if (entry->kind == kEquipKindWeapon) {
        if (equipPage_->EquipWeapon(true, -1)) {
            RefreshSlotIcons();
            StepWeaponPicture(0.0f);
            PlayTabSound(kUISoundEquip);
        }
        return;
    }
    if (equipPage_->EquipArmour(chosenSlot, false, -1)) {
        slotChoice = 1;
        equipPage_->slotChoice = true;
        equipPage_->MarkEquipped();
        PlaceSlotChoiceFrame(kFrameMarginLeft);
        blinkTime_ = 0.0f;
        blinkDirection_ = 0;
        return;
    }
    if (g_pUIManager == nullptr) {
        return;
    }
    // Armour worn already: ask before taking it off.
    equipPage_->question = true;
    g_pUnequipQuestionPage = this;
    g_pUIManager->ShowModalBox(g_pUIManager->words.Word(kUnequipQuestionWord), UnequipAnswer, nullptr, 0);
}

void CSCharacterPage::OnUnequipAnswer(uint32_t answer)
{
    if (g_pUnequipQuestionPage == this) {
        g_pUnequipQuestionPage = nullptr;
    }
    if (equipPage_ == nullptr) {
        return;
    }
    const EquipEntry *entry = equipPage_->SelectedEntry();
    if (answer == 1 && entry != nullptr && entry->equippedSlot >= 0) {
        if (CSHero *hero = Hero()) {
            hero->UnequipSlot(entry->equippedSlot);
            hero->RecomputeEquipment();
        }
        RefreshSlotIcons();
        equipPage_->MarkEquipped();
        PlayTabSound(kUISoundTakeOff);
    }
    equipPage_->question = false;
}

void CSCharacterPage::RestoreArmourSlots()
{
    equipPage_->EquipArmour(0, false, equipPage_->slotIds[0]);
    equipPage_->EquipArmour(1, false, equipPage_->slotIds[1]);
}

void CSCharacterPage::StepSlotChoice(float dt)
{
    const PadState &pad = InterfacePad();
    const bool left = pad.connected != 0 && pad.buttons[kPadLeft] == kPadPressedState;
    const bool right = pad.connected != 0 && pad.buttons[kPadRight] == kPadPressedState;
    if (left || right) {
        RestoreArmourSlots();
        chosenSlot = chosenSlot == 0 ? 1 : 0;
        PlaceSlotChoiceFrame(left ? kFrameMarginLeft : kFrameMarginRight);
        equipPage_->EquipArmour(chosenSlot, false, -1);
        equipPage_->MarkEquipped();
        PlayTabSound(kUISoundMove);
        return;
    }
    if (pad.connected != 0 && BackPressed(pad)) {
        RestoreArmourSlots();
        slotChoice = 0;
        equipPage_->slotChoice = false;
        RefreshSlotIcons();
        equipPage_->MarkEquipped();
        PlayTabSound(kUISoundBack);
        return;
    }
    if (pad.connected != 0 && (ConfirmPressed(pad) || UIMousePressed())) {
        equipPage_->EquipArmour(chosenSlot, true, -1);
        RefreshSlotIcons();
        StepWeaponPicture(0.0f);
        slotChoice = 0;
        equipPage_->slotChoice = false;
        equipPage_->MarkEquipped();
        PlayTabSound(kUISoundEquip);
        return;
    }
    blinkTime_ += dt;
    if (blinkTime_ >= kBlinkSeconds) {
        blinkDirection_ ^= 1;
        blinkTime_ = 0.0f;
    }
    if (slotChoiceFrame_ != nullptr) {
        const float alpha = blinkDirection_ != 0 ? 100.0f + 140.0f * blinkTime_ : 240.0f - 140.0f * blinkTime_;
        SetQuadColour(slotChoiceFrame_->quad.v, static_cast<uint8_t>(alpha), 240, 240, 240);
    }
}
