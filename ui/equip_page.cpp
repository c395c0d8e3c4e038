// The status page's equipment tab (see equip_page.h).
#include "ui/equip_page.h"

#include <algorithm>

#include "actor/hero.h"
#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "app/text_block.h"
#include "ui/item_page.h"
#include "ui/status_tab_kit.h"
#include "ui/text_list.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_trace.h"

namespace {



}  // namespace

const EquipContent *FindEquipRecord(int32_t itemId)
{
    const CSItemManager *items = UI().items != nullptr ? UI().items() : nullptr;
    return items != nullptr && itemId != 0 ? items->FindEquipContent(itemId) : nullptr;
}

void CSEquipPage::Init(CSTextList *list)
{
    list_ = list;
    const CSHero *hero = UIFirstHero();
    lifeAtOpen_ = hero != nullptr ? hero->hp : 0;
    BuildEntries();
}

void CSEquipPage::BuildEntries()
{
    entries_.clear();
    const CSItemManager *items = UI().items != nullptr ? UI().items() : nullptr;
    if (items == nullptr) {
        return;
    }
    const CSItemDescTable *texts = UI().itemDescriptions != nullptr ? UI().itemDescriptions() : nullptr;
    int32_t count = 0;
    OwnedItemValue *owned = items->ListOwnedByType(kTabPlayerList, kItemTypeEquip, &count);
    for (int pass = 0; pass < 2; ++pass) {
        const bool weapons = pass == 0;
        for (int32_t i = 0; i < count; ++i) {
            if (IsWeaponId(owned[i].itemId) != weapons) {
                continue;
            }
            EquipEntry entry;
            entry.itemId = owned[i].itemId;
            entry.count = owned[i].count;
            entry.kind = weapons ? kEquipKindWeapon : kEquipKindOther;
            if (const ItemDescEntry *text = texts != nullptr ? texts->Find(entry.itemId) : nullptr) {
                entry.name = text->name;
                entry.description = text->describe;
            }
            entries_.push_back(std::move(entry));
        }
    }
    CSItemManager::FreeItemArray(owned, count);
}

void CSEquipPage::SetActive(bool on)
{
    active = on;
    if (on != 0) {
        Show();
        MarkEquipped();
    } else {
        Hide();
    }
}

void CSEquipPage::Show()
{
    if (list_ != nullptr) {
        if (entries_.empty()) {
            list_->SetItems({kTabBlankEntry}, 0, CSItemPage::kListTop, CSItemPage::kListBottom, CSItemPage::kListLeft,
                            CSItemPage::kListRight);
        } else {
            std::vector<const char16_t *> names;
            for (const EquipEntry &entry : entries_) {
                names.push_back(entry.name.c_str());
            }
            list_->SetItems(std::move(names), selected_, CSItemPage::kListTop, CSItemPage::kListBottom,
                            CSItemPage::kListLeft, CSItemPage::kListRight);
        }
    }
    OnSelect();
}

void CSEquipPage::OnSelect()
{
    const EquipEntry *entry = SelectedEntry();
    if (entry == nullptr) {
        return;
    }
    if (picture_ == nullptr) {
        picture_ = std::make_unique<OwnedPicture>();
    }
    const bool weapon = entry->kind == kEquipKindWeapon;
    const UIIconCell *cell = nullptr;
    if (g_pUIManager != nullptr) {
        cell = weapon ? g_pUIManager->GetEquipArt(static_cast<uint32_t>(entry->itemId))
                      : g_pUIManager->GetWeaponIcon(static_cast<uint32_t>(entry->itemId));
    }
    UIPicture &p = picture_->picture;
    p.vertices = picture_->quad.v;
    // An id outside the tables has no cell and so no picture.
    p.texture = cell != nullptr ? cell->texture : nullptr;
    p.s0 = cell != nullptr ? cell->s0 : 0.0f;
    p.t0 = cell != nullptr ? cell->t0 : 0.0f;
    p.s1 = cell != nullptr ? cell->s1 : 0.0f;
    p.t1 = cell != nullptr ? cell->t1 : 0.0f;
    p.left = 260;
    p.top = 103;
    p.right = 310;
    p.bottom = weapon ? 303.0f : 153.0f;
    p.Place();
    SetQuadArgb(picture_->quad.v, kTabPictureColour);
    // The preview: a highlighted weapon on the hero, else the confirmed one.
    PutInSlot(kHeroWeaponSlot, weapon ? entry->itemId : slotIds[kHeroWeaponSlot]);
}

void CSEquipPage::PutInSlot(int32_t slot, int32_t itemId)
{
    CSHero *hero = UIFirstHero();
    if (hero == nullptr) {
        return;
    }
    const EquipContent *wanted = FindEquipRecord(itemId);
    if (hero->GetEquippedItem(slot) == wanted) {
        return;  // already worn: the weapon's model need not be read again
    }
    hero->UnequipSlot(slot);
    if (const EquipContent *record = wanted) {
        hero->EquipItem(record, slot);
    }
    hero->RecomputeEquipment();
    // The recompute cuts life to a lower maximum; a preview that is then
    // taken back must not cost the hero that life, and the game stands
    // still while the page is open: life stays as it was at the opening,
    // within the maximum of what is worn now.
    hero->hp = std::min(lifeAtOpen_, hero->GetMaxHP());
}

void CSEquipPage::Hide()
{
    // A previewed weapon comes off: the confirmed one goes back on.
    if (SelectedEntry() != nullptr && SelectedEntry()->kind == kEquipKindWeapon) {
        PutInSlot(kHeroWeaponSlot, slotIds[kHeroWeaponSlot]);
    }
    underlines_.reset();
    description_.Close();
}

void CSEquipPage::MarkEquipped()
{
    for (EquipEntry &entry : entries_) {
        entry.equippedSlot = -1;
        for (int32_t slot = 0; slot < 3; ++slot) {
            if (entry.itemId != 0 && entry.itemId == slotIds[slot]) {
                entry.equippedSlot = slot;
                break;
            }
        }
    }
    if (underlines_ == nullptr) {
        underlines_ = std::make_unique<std::array<WornLine, 3>>();
        for (WornLine &underline : *underlines_) {
            underline.picture.picture.vertices = underline.picture.quad.v;
            SetQuadArgb(underline.picture.quad.v, kWornColour);
        }
    }
    for (WornLine &underline : *underlines_) {
        underline.shown = false;
    }
    // (Without entries the list's one blank row is no entry's.)
    int32_t first{};
    int32_t last{};
    CSTextBlock *const *rows = list_->GetWindow(&first, &last);
    for (int32_t i = 0; i < list_->VisibleRows(); ++i) {
        CSTextBlock *row = rows[i];
        const int32_t index = first + i;
        if (row == nullptr || index < 0 || index >= EntryCount()) {
            continue;
        }
        const EquipEntry &entry = entries_[static_cast<size_t>(index)];
        if (entry.equippedSlot < 0) {
            row->SetColor(kTabTextColour);
            continue;
        }
        row->SetColor(kWornColour);
        if (row->Rows().empty()) {
            continue;
        }
        const CSTextBlock::Row &line = row->Rows().front();
        WornLine &underline = (*underlines_)[static_cast<size_t>(entry.equippedSlot)];
        UIPicture &p = underline.picture.picture;
        p.left = static_cast<float>(line.x);
        p.right = static_cast<float>(line.x + line.width);
        p.top = static_cast<float>(line.y + line.height);
        p.bottom = p.top + 1.0f;
        p.Place();
        underline.shown = true;
    }
}

bool CSEquipPage::EquipWeapon(bool save, int32_t id)
{
    const EquipEntry *entry = SelectedEntry();
    if (entry == nullptr) {
        return false;
    }
    if (entry->itemId == slotIds[kHeroWeaponSlot]) {
        PlayTabSound(kUISoundCancel);
        return false;
    }
    if (entry->kind != kEquipKindWeapon) {
        return false;
    }
    PutInSlot(kHeroWeaponSlot, id == -1 ? entry->itemId : id);
    if (save) {
        slotIds[kHeroWeaponSlot] = entry->itemId;
        MarkEquipped();
        TraceEquip(kHeroWeaponSlot, entry->itemId);
    }
    return true;
}

bool CSEquipPage::EquipArmour(int32_t slot, bool save, int32_t id)
{
    const EquipEntry *entry = SelectedEntry();
    if (entry == nullptr || slot < 0 || slot > 1) {
        return false;
    }
    if (entry->itemId == slotIds[0] || entry->itemId == slotIds[1]) {
        PlayTabSound(kUISoundCancel);
        return false;
    }
    if (entry->kind != kEquipKindOther) {
        return false;
    }
    PutInSlot(slot, id == -1 ? entry->itemId : id);
    if (save) {
        slotIds[slot] = entry->itemId;
        MarkEquipped();
        TraceEquip(slot, entry->itemId);
    }
    return true;
}

void CSEquipPage::Update(float dt)
{
    const ListKey key = ReadTabKeys(&description_, !entries_.empty(), dt, &holdTime_);
    if (key == ListKey::up || key == ListKey::down) {
        selected_ = StepListSelection(list_, key, selected_, EntryCount(), dt);
        OnSelect();
        MarkEquipped();
    } else if (key == ListKey::describe) {
        description_.Show(entries_[static_cast<size_t>(selected_)].description.c_str(), *list_);
        PlayTabSound(kUISoundConfirm);
    }
}

void CSEquipPage::Render() const
{
    if (picture_ != nullptr && picture_->picture.texture != nullptr) {
        picture_->picture.Draw();
    }
    if (DrawDescriptionOrList(description_, list_)) {
        return;
    }
    if (underlines_ != nullptr) {
        for (const WornLine &underline : *underlines_) {
            if (underline.shown) {
                DrawUIQuad(underline.picture.quad.v, nullptr);
            }
        }
    }
    if (mode == 0) {
        DrawTabFooter(6);
    } else if (!slotChoice) {
        DrawTabFooter(question ? 3 : 7);
    }
}

void CSEquipPage::Release()
{
    Hide();
    entries_.clear();
    picture_.reset();
    selected_ = 0;
    description_.Release();
}
