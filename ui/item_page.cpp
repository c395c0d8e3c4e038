// The status page's item tab (see item_page.h).
#include "ui/item_page.h"

#include <algorithm>
#include <cstdio>

#include "actor/item_icons.h"
#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "ui/status_tab_kit.h"
#include "ui/text_list.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

namespace {


void SetLargeDigit(OwnedPicture *p, char digit, float x0, float x1)
{
    static const UIIconCell kNoDigit{};
    const UIIconCell *cell = g_pUIManager != nullptr && digit >= '0' && digit <= '9'
                                 ? g_pUIManager->GetLargeDigit(static_cast<uint32_t>(digit - '0'))
                                 : &kNoDigit;
    p->SetUV(cell->texture, cell->s0, cell->t0, cell->s1, cell->t1, x0, 153, x1, 176, kTabPictureColour);
}

}  // namespace

void CSItemPage::Init(CSTextList *list) { list_ = list; }

void CSItemPage::SetActive(bool on)
{
    active = on;
    if (on != 0) {
        Build();
    } else {
        Release();
    }
}

void CSItemPage::Build()
{
    entries_.clear();
    const CSItemManager *items = UI().items != nullptr ? UI().items() : nullptr;
    const CSItemDescTable *texts = UI().itemDescriptions != nullptr ? UI().itemDescriptions() : nullptr;
    if (items != nullptr) {
        const struct {
            int32_t list, type, category;
        } kSources[3] = {{kTabPlayerList, kItemTypeRecover, 0}, {kTabPlayerList, kItemTypeExplode, 1},
                         {kItemListShared, kItemTypeShared, 2}};
        for (const auto &source : kSources) {
            int32_t count = 0;
            OwnedItemValue *owned = items->ListOwnedByType(source.list, source.type, &count);
            for (int32_t i = 0; i < count; ++i) {
                ItemEntry entry;
                entry.itemId = owned[i].itemId;
                entry.count = owned[i].count;
                entry.category = source.category;
                if (const ItemDescEntry *text = texts != nullptr ? texts->Find(entry.itemId) : nullptr) {
                    entry.name = text->name;
                    entry.description = text->describe;
                }
                entries_.push_back(std::move(entry));
            }
            CSItemManager::FreeItemArray(owned, count);
        }
    }
    selected_ = std::clamp(selected_, 0, std::max(EntryCount() - 1, 0));
    if (entries_.empty()) {
        list_->SetItems({kTabBlankEntry}, 0, kListTop, kListBottom, kListLeft, kListRight);
        return;
    }
    std::vector<const char16_t *> names;
    for (const ItemEntry &entry : entries_) {
        names.push_back(entry.name.c_str());
    }
    list_->SetItems(std::move(names), selected_, kListTop, kListBottom, kListLeft, kListRight);
    ShowSelected();
}

void CSItemPage::ShowSelected()
{
    if (entries_.empty()) {
        return;
    }
    const ItemEntry &entry = entries_[static_cast<size_t>(selected_)];
    if (icon_ == nullptr) {
        icon_ = std::make_unique<OwnedPicture>();
    }
    float s0 = 0, t0 = 0, s1 = 0, t1 = 0;
    const CSItemManager *items = UI().items != nullptr ? UI().items() : nullptr;
    GetItemIconUV(entry.itemId, &s0, &t0, &s1, &t1, items);
    const int32_t iconNumber = items != nullptr ? GetItemIconIndex(entry.itemId, items) : kNoItemIcon;
    RwTexture *sheet = UI().itemSheet != nullptr && iconNumber >= 0 ? UI().itemSheet(iconNumber) : nullptr;
    icon_->SetUV(sheet, s0, t0, s1, t1, 260, 103, 310, 153, kTabPictureColour);

    if (digits_ == nullptr) {
        digits_ = std::make_unique<OwnedPicture[]>(2);
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", entry.count);
    if (entry.count >= 10) {
        SetLargeDigit(&digits_[0], text[0], 265, 288);
        SetLargeDigit(&digits_[1], text[1], 288, 311);
    } else {
        SetLargeDigit(&digits_[1], text[0], 288, 311);
    }
}

void CSItemPage::Update(float dt)
{
    const ListKey key = ReadTabKeys(&description_, !entries_.empty(), dt, &holdTime_);
    if (key == ListKey::up || key == ListKey::down) {
        selected_ = StepListSelection(list_, key, selected_, EntryCount(), dt);
        ShowSelected();
    } else if (key == ListKey::describe) {
        description_.Show(entries_[static_cast<size_t>(selected_)].description.c_str(), *list_);
        PlayTabSound(kUISoundConfirm);
    }
}

void CSItemPage::Render() const
{
    if (icon_ != nullptr) {
        icon_->picture.Draw();
    }
    if (digits_ != nullptr && !entries_.empty()) {
        digits_[1].picture.Draw();
        if (entries_[static_cast<size_t>(selected_)].count >= 10) {
            digits_[0].picture.Draw();
        }
    }
    if (!DrawDescriptionOrList(description_, list_)) {
        DrawTabFooter(6);
    }
}

void CSItemPage::Release()
{
    entries_.clear();
    icon_.reset();
    digits_.reset();
    description_.Release();
}
