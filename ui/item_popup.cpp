// The overlay's item popup (see item_popup.h).
#include "ui/item_popup.h"

#include <algorithm>
#include <cstdio>

#include "actor/hero.h"
#include "actor/item_icons.h"
#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "app/game_system.h"
#include "app/text_block.h"
#include "ui/hud_pictures.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_projection.h"
#include "ui/ui_text_blocks.h"
#include "ui/ui_trace.h"

namespace {

// The word table's popup texts.
constexpr int32_t kWordItemPrefix = 0;
constexpr int32_t kWordNotice = 1;

constexpr AtlasRect kBoxCell = {455, 31, 462, 40};
constexpr uint32_t kBoxColour = 0x64F0F0F0u;  // (240, 240, 240) at alpha 100
constexpr uint32_t kTextColour = 0xF0AAAAAAu;
constexpr int32_t kMeasureWrap = 512;
constexpr int32_t kBoxMargin = 10;
// The hero's head: this much above its feet (20 for the second hero).
constexpr float kHeadHeight = 22.0f;
constexpr float kSecondHeroHeadHeight = 20.0f;

// The icon slides from above the screen's top to its place (left, top,
// right, bottom).
constexpr float kIconLeft = 450.0f;
constexpr float kIconRight = 500.0f;
constexpr float kIconStartTop = -50.0f;
constexpr float kIconEndTop = 40.0f;
constexpr float kIconSize = 50.0f;
constexpr float kDigitPlaceWidth = 30.0f;

constexpr int32_t kEquipmentGroup = 51;     // id / 100000 of equipment
constexpr int32_t kOneOfAKindGroup = 54;    // id / 100000 of items counted as 1
constexpr int32_t kFirstEquipArtItem = 160;  // id % 1000 from which equipment has a strip
constexpr int32_t kCountedTypes[] = {kItemTypeRecover, kItemTypeExplode, kItemTypeEquip};

}  // namespace

CSItemPopup::CSItemPopup()
{
    box_.vertices = boxQuad_.v;
    icon_.vertices = iconQuad_.v;
    for (int i = 0; i < 2; ++i) {
        digits_[i].vertices = digitQuads_[i].v;
        SetQuadArgb(digitQuads_[i].v, kHudWhite);
    }
    box_.s0 = kBoxCell.s0 / 512.0f;
    box_.t0 = kBoxCell.t0 / 512.0f;
    box_.s1 = kBoxCell.s1 / 512.0f;
    box_.t1 = kBoxCell.t1 / 512.0f;
    SetQuadArgb(boxQuad_.v, kBoxColour);
    SetQuadArgb(iconQuad_.v, kHudWhite);
    PlaceIcon(0.0f);
}

CSItemPopup::~CSItemPopup() { Release(); }

void CSItemPopup::FreeText()
{
    GiveBackTextBlock(block_);
    text_.clear();
}

void CSItemPopup::Release()
{
    FreeText();
    textShown_ = false;
    itemShown_ = false;
    seconds_ = 0.0f;
    PlaceIcon(0.0f);
}

void CSItemPopup::Show(uint8_t, int32_t itemId)
{
    TraceScreenPopup(itemId);
    if (textShown_) {
        FreeText();
        seconds_ = 0.0f;
    }
    if (itemShown_) {
        PlaceIcon(0.0f);
        seconds_ = 0.0f;
    }
    textShown_ = true;
    ComposeText(itemId);
    if (g_pGameSystem != nullptr) {
        block_ = g_pGameSystem->textBlocks.Acquire();
    }
    PlaceBox();
    if (itemId == 0) {
        return;
    }
    itemShown_ = true;
    SetIconAndCount(itemId);
}

void CSItemPopup::ComposeText(int32_t itemId)
{
    // Every language takes the same composition: the word table's notice,
    // or its item prefix followed by the item's name (the prefix alone when
    // the item has no description).
    const WordTable *words = g_pUIManager != nullptr ? &g_pUIManager->words : nullptr;
    if (itemId == 0) {
        text_ = words != nullptr ? words->Word(kWordNotice) : u"";
    } else {
        text_ = words != nullptr ? words->Word(kWordItemPrefix) : u"";
        const CSItemDescTable *descriptions = UI().itemDescriptions();
        if (const ItemDescEntry *entry = descriptions != nullptr ? descriptions->Find(itemId) : nullptr) {
            text_ += entry->name;
        }
    }
    const size_t cr = text_.find(u'\r');
    if (cr != std::u16string::npos) {
        text_.resize(cr);
    }
}

void CSItemPopup::PlaceBox()
{
    boxOnScreen_ = false;
    CSHero *hero = UI().firstHero();
    if (hero == nullptr || block_ == nullptr) {
        return;
    }
    RwV3d head;
    hero->GetPosition(&head);
    head.y += hero->aiType == kAiTypeHero0 ? kHeadHeight : kSecondHeroHeadHeight;
    RwV3d seen;
    float x = 0.0f;
    float y = 0.0f;
    // A head at or behind the near plane has no place on the screen: no box
    // this frame.
    if (!CameraSpacePoint(head, &seen) || !ProjectToVirtualScreen(seen, &x, &y)) {
        return;
    }
    y = static_cast<float>(static_cast<int32_t>(y));
    const TextLayout measured = MeasureText(block_, text_.c_str(), kMeasureWrap);
    const int32_t w = block_->GetMaxRowWidth();
    const int32_t h = measured.totalHeight;
    const float left = x - static_cast<float>(w / 2) - kBoxMargin;
    const float top = y - static_cast<float>(h / 2) - kBoxMargin;
    const float right = left + static_cast<float>(w + 2 * kBoxMargin);
    const float bottom = top + static_cast<float>(h + 2 * kBoxMargin);
    block_->SetText(nullptr, text_.c_str(), static_cast<int32_t>(left) + kBoxMargin,
                    static_cast<int32_t>(top) + kBoxMargin, static_cast<int32_t>(right - left));
    block_->SetColor(kTextColour);
    box_.left = left;
    box_.top = top;
    box_.right = right;
    box_.bottom = bottom;
    box_.texture = g_pUIManager != nullptr ? g_pUIManager->GetHudTexture() : nullptr;
    box_.Place();
    boxOnScreen_ = true;
}

void CSItemPopup::SetIconAndCount(int32_t itemId)
{
    const CSItemManager *items = UI().items();
    icon_.texture = nullptr;
    icon_.s0 = icon_.t0 = icon_.s1 = icon_.t1 = 0.0f;
    if (itemId / 100000 == kEquipmentGroup) {
        // Equipment shows the screen manager's weapon icon or equipment picture.
        const UIIconCell *cell = nullptr;
        if (g_pUIManager != nullptr) {
            cell = itemId % 1000 < kFirstEquipArtItem ? g_pUIManager->GetWeaponIcon(static_cast<uint32_t>(itemId))
                                                      : g_pUIManager->GetEquipArt(static_cast<uint32_t>(itemId));
        }
        if (cell != nullptr) {
            icon_.s0 = cell->s0;
            icon_.t0 = cell->t0;
            icon_.s1 = cell->s1;
            icon_.t1 = cell->t1;
            icon_.texture = cell->texture;
        }
    } else {
        GetItemIconUV(itemId, &icon_.s0, &icon_.t0, &icon_.s1, &icon_.t1, items);
        const int32_t iconNumber = GetItemIconIndex(itemId, items);
        icon_.texture = iconNumber >= 0 ? UI().itemSheet(iconNumber) : nullptr;
    }
    PlaceIcon(0.0f);

    count_ = 0;
    if (itemId / 100000 == kOneOfAKindGroup) {
        count_ = 1;
    } else if (items != nullptr) {
        for (int32_t type : kCountedTypes) {
            int32_t rows = 0;
            OwnedItemValue *owned = items->ListOwnedByType(1, type, &rows);
            for (int32_t i = 0; i < rows && count_ == 0; ++i) {
                if (owned[i].itemId == itemId) {
                    count_ = owned[i].count;
                }
            }
            CSItemManager::FreeItemArray(owned, rows);
            if (count_ != 0) {
                break;
            }
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", std::max(count_, 0));
    if (count_ >= 10) {
        places_[0] = text[0] - '0';
        places_[1] = text[1] - '0';
    } else {
        places_[0] = -1;
        places_[1] = text[0] - '0';
    }
    for (int i = 0; i < 2; ++i) {
        // A hidden place (-1) finds no cell.
        const UIIconCell *cell =
            g_pUIManager != nullptr ? g_pUIManager->GetLargeDigit(static_cast<uint32_t>(places_[i])) : nullptr;
        digits_[i].texture = cell != nullptr ? cell->texture : nullptr;
        if (cell != nullptr) {
            digits_[i].s0 = cell->s0;
            digits_[i].t0 = cell->t0;
            digits_[i].s1 = cell->s1;
            digits_[i].t1 = cell->t1;
        }
    }
    PlaceIcon(0.0f);
}

void CSItemPopup::PlaceIcon(float share)
{
    icon_.left = kIconLeft;
    icon_.right = kIconRight;
    icon_.top = kIconStartTop + (kIconEndTop - kIconStartTop) * share;
    icon_.bottom = icon_.top + kIconSize;
    icon_.Place();
    // The count's places follow the icon on its right.
    for (int i = 0; i < 2; ++i) {
        digits_[i].left = icon_.right + kDigitPlaceWidth * static_cast<float>(i);
        digits_[i].right = digits_[i].left + kDigitPlaceWidth;
        digits_[i].top = icon_.top + 0.4f * (icon_.bottom - icon_.top);
        digits_[i].bottom = icon_.bottom;
        digits_[i].Place();
    }
}

void CSItemPopup::Update(float seconds)
{
    if (!textShown_ && !itemShown_) {
        seconds_ = 0.0f;
        return;
    }
    seconds_ += seconds;
    if (textShown_) {
        if (seconds_ <= kTextSeconds) {
            PlaceBox();
        } else {
            FreeText();
            textShown_ = false;
        }
    }
    if (itemShown_) {
        if (seconds_ <= kSlideSeconds) {
            PlaceIcon(seconds_ * 0.6666667f);
        } else if (seconds_ <= kHoldSeconds) {
            PlaceIcon(1.0f);
        } else {
            PlaceIcon(0.0f);
            itemShown_ = false;
        }
    }
    if (!textShown_ && !itemShown_) {
        seconds_ = 0.0f;
    }
}

void CSItemPopup::Render()
{
    if (textShown_ && boxOnScreen_) {
        box_.Draw();
        if (block_ != nullptr) {
            block_->Draw();
        }
    }
    if (itemShown_) {
        if (icon_.texture != nullptr) {
            icon_.Draw();
        }
        for (const UIPicture &digit : digits_) {
            if (digit.texture != nullptr) {
                digit.Draw();
            }
        }
    }
}
