// The store's life, input and trade (see lobby_store.h); its drawing is in
// lobby_store_draw.cpp.
#include "ui/lobby_store.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "actor/hero.h"
#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/pack.h"
#include "app/text_block.h"
#include "app/textures.h"
#include "ui/lobby_art.h"
#include "ui/lobby_screen.h"
#include "ui/text_list.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_text_blocks.h"
#include "ui/ui_trace.h"

namespace {

constexpr int32_t kFirstItem = 5300000;
constexpr int32_t kItemStep = 10;
constexpr int32_t kFirstExplodeSlot = 5;
constexpr int32_t kFirstSellSlot = 8;
constexpr int32_t kFirstUpgradeSlot = 16;
constexpr int32_t kHero1Upgrades = 24;
constexpr int32_t kOwnList = 1;
// The upgrades' prices, hero 0's slots 16..23 then hero 1's 24..31.
constexpr int32_t kUpgradePrices[16] = {3000, 3000, 3000, 3000, 3000, 4000, 5000, 4000,
                                        3000, 3000, 5000, 3000, 3000, 4000, 4000, 3000};
// Message entries.
constexpr int32_t kBuyTotal = 3;
constexpr int32_t kSellTotal = 4;
constexpr int32_t kUpgradePrice = 5;
constexpr int32_t kQuestion = 6;
constexpr int32_t kNoMoney = 7;
constexpr int32_t kNoRoom = 8;
constexpr int32_t kItemNames = 9;
constexpr int32_t kLevelNames = 17;
constexpr int32_t kHero0Names = 19;
constexpr int32_t kHero1Names = 25;
constexpr int32_t kDescriptionEntries = 31;  // descriptions 17..30 are messages 31..44
// Description indices: 0..8 messages, 9..16 the items' own, 17..30 the upgrades'.
constexpr int32_t kItemDescriptions = 9;
constexpr int32_t kUpgradeDescriptions = 17;
constexpr uint32_t kHeadingColour = 0xFF000000u;
constexpr int32_t kTextX = 52;
constexpr int32_t kTextY = 259;
constexpr int32_t kStoreTextWrap = 177;

void Lay(CSTextBlock *block, const std::u16string &text)
{
    if (block != nullptr) {
        block->SetText(nullptr, text.c_str(), kTextX, kTextY, kStoreTextWrap);
    }
}

CSHero *Hero() { return UI().firstHero(); }
int32_t StoreHeroType()
{
    const CSHero *hero = Hero();
    return hero != nullptr && hero->aiType == 1 ? 1 : 0;
}

bool IsItemSlot(int32_t slot) { return slot >= 0 && slot < kFirstUpgradeSlot; }
bool IsExplodeSlot(int32_t slot) { return IsItemSlot(slot) && slot % 8 >= kFirstExplodeSlot; }

std::u16string WithNumber(const char16_t *text, int64_t number)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, " %lld", static_cast<long long>(number));
    std::u16string out = text;
    for (const char *c = digits; *c != '\0'; ++c) {
        out.push_back(static_cast<char16_t>(*c));
    }
    return out;
}

}  // namespace

CSLobbyStore::CSLobbyStore() = default;
CSLobbyStore::~CSLobbyStore() { Release(); }

int32_t CSLobbyStore::SlotItem(int32_t slot)
{
    return IsItemSlot(slot) ? kFirstItem + kItemStep * (slot % 8) : 0;
}

int32_t CSLobbyStore::NameEntry(int32_t slot)
{
    if (IsItemSlot(slot)) {
        return kItemNames + slot % 8;
    }
    const int32_t k = (slot - kFirstUpgradeSlot) % 8;
    if (k < 2) {
        return kLevelNames + k;
    }
    return (slot < kHero1Upgrades ? kHero0Names : kHero1Names) + k - 2;
}

int32_t CSLobbyStore::UnitPrice(int32_t slot) const
{
    if (slot >= kFirstUpgradeSlot && slot < kSlots) {
        return kUpgradePrices[slot - kFirstUpgradeSlot];
    }
    const CSItemManager *items = UI().items();
    if (!IsItemSlot(slot) || items == nullptr) {
        return 0;
    }
    const UseContent *use =
        IsExplodeSlot(slot) ? items->FindExplodeContent(SlotItem(slot)) : items->FindRecoverContent(SlotItem(slot));
    const int32_t price = use != nullptr ? std::max(use->Price(), 0) : 0;
    // What the store pays back: 80 %, truncated.
    return slot >= kFirstSellSlot ? static_cast<int32_t>(int64_t{price} * 80 / 100) : price;
}

bool CSLobbyStore::Offered(int32_t slot) const
{
    if (IsItemSlot(slot)) {
        // An item the tables do not hold is not offered.
        const CSItemManager *items = UI().items();
        const int32_t id = SlotItem(slot);
        if (items == nullptr || items->FindItemContent(id) == nullptr ||
            (IsExplodeSlot(slot) ? items->FindExplodeContent(id) : items->FindRecoverContent(id)) == nullptr) {
            return false;
        }
        return slot < kFirstSellSlot || items->GetItemCount(kOwnList, id) > 0;
    }
    const CSHero *hero = Hero();
    if (hero == nullptr || slot >= kSlots) {
        return false;
    }
    const int32_t type = slot < kHero1Upgrades ? 0 : 1;
    switch ((slot - kFirstUpgradeSlot) % 8) {
    case 0: return hero->hpLevel < (type == 0 ? 5 : 4);
    case 1: return hero->powerLevel < (type == 0 ? 3 : 5);
    case 2: return hero->GetAbilityFlag(3) == 0;
    case 3: return hero->GetAbilityFlag(4) == 0;
    case 4: return hero->GetAbilityFlag(5) == 0;
    case 5: return hero->GetAbilityFlag(6) == 0 && hero->GetAbilityFlag(5) != 0;
    case 6: return hero->GetAbilityFlag(7) == 0 && hero->GetAbilityFlag(5) != 0;
    default: return hero->GetAbilityFlag(8) == 0 && hero->GetAbilityFlag(type == 0 ? 3 : 4) != 0;
    }
}

int32_t CSLobbyStore::OwnedCount(int32_t slot) const
{
    const CSItemManager *items = UI().items();
    return items != nullptr && IsItemSlot(slot) ? items->GetItemCount(kOwnList, SlotItem(slot)) : 0;
}

int32_t CSLobbyStore::OwnLimit(int32_t slot) const
{
    const CSItemManager *items = UI().items();
    const ItemContent *content = items != nullptr ? items->FindItemContent(SlotItem(slot)) : nullptr;
    return content != nullptr ? content->ownLimit : 0;
}

int32_t CSLobbyStore::Money() const
{
    const CSHero *hero = Hero();
    return hero != nullptr ? hero->money : 0;
}

void CSLobbyStore::SetMoney(int64_t money) const
{
    if (CSHero *hero = Hero()) {
        hero->SetMoney(static_cast<int32_t>(std::clamp<int64_t>(money, 0, kHeroMoneyMax)));
    }
}

void CSLobbyStore::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    if (on == 0) {
        Release();
        return;
    }
    active = 1;
    closing = false;
    tab = kNoTab;
    mode = kBrowse;
    questionPending = false;
    leftShakeMs = rightShakeMs = moneyShakeMs = kShakeMs;
    shownDescription = -1;
    g_pUIManager->StartBaseMapReveal();
    if (list == nullptr) {
        list = std::make_unique<CSTextList>();
        list->Init();
    }
    for (CSTextBlock **block : {&descriptionText, &headingText, &messageText, &questionText}) {
        if (*block == nullptr) {
            *block = AcquireTextBlock();
        }
    }
    if (headingText != nullptr) {
        headingText->SetColor(kHeadingColour);
    }
    LoadArt();
    SetTab(kBuyTab);
}

void CSLobbyStore::Release()
{
    messages = StoreMessages{};
    messagesRead = false;
    DestroyTexture(iconSheet);
    iconSheet = nullptr;
    baseMap = lobbyArt = playerArt = wordArt = mapBase = nullptr;
    if (list != nullptr) {
        list->Release();
    }
    rowNames_.clear();
    for (CSTextBlock **block : {&descriptionText, &headingText, &messageText, &questionText}) {
        GiveBackTextBlock(*block);
    }
    active = 0;
}

void CSLobbyStore::LoadArt()
{
    CSUIManager *ui = g_pUIManager;
    const bool packed = ui->OpenInterfacePack("LOBYSTOR");
    if (iconSheet == nullptr) {
        iconSheet = ReadFolderPicture("\\RESOURCE\\ITEM\\TEXTURES\\", "001.BMP", "001A.BMP");
    }
    if (!messagesRead) {
        const char *name = StoreMessageFileName(UILanguage());
        zuFile *file = nullptr;
        std::string path;
        if (name != nullptr) {
            path = std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\MESSAGE\\" + name;
            file = zufopen(path.c_str(), "rb");
        }
        messages = ReadStoreMessages(file, path.c_str());
        zufclose(file);
        messagesRead = true;
    }
    if (packed) {
        zuClosePack();
    }
    baseMap = ui->BaseMap();
    lobbyArt = ui->LobbyArt();
    playerArt = ui->PlayerArt();
    wordArt = ui->WordArt();
    mapBase = g_pLobby != nullptr ? g_pLobby->mapBase : ui->MapBase();
}

void CSLobbyStore::SetTab(int32_t next)
{
    if (next == tab) {
        return;
    }
    tab = next;
    rowCount = 0;
    std::fill(std::begin(rowSlots), std::end(rowSlots), -1);
    int32_t first = 0;
    if (tab == kSellTab) {
        first = kFirstSellSlot;
    } else if (tab == kUpgradeTab) {
        first = StoreHeroType() == 0 ? kFirstUpgradeSlot : kHero1Upgrades;
    }
    for (int32_t slot = first; slot < first + kRowsPerTab; ++slot) {
        if (Offered(slot)) {
            rowSlots[rowCount++] = slot;
        }
    }
    ShowDescription(tab);
    rowNames_.clear();
    for (int32_t row = 0; row < rowCount; ++row) {
        rowNames_.emplace_back(messages.Get(NameEntry(rowSlots[row])));
    }
    if (rowNames_.empty()) {
        // An empty tab shows one blank row.
        rowNames_.emplace_back(u" ");
    }
    std::vector<const char16_t *> entries;
    for (const std::u16string &name : rowNames_) {
        entries.push_back(name.c_str());
    }
    const int32_t n = static_cast<int32_t>(entries.size());
    list->SetItems(std::move(entries), 0, 100, 100 + 30 * n, 330, 580);
    selectedRow = 0;
}

void CSLobbyStore::ShowDescription(int32_t index)
{
    if (index == shownDescription) {
        return;
    }
    shownDescription = index;
    std::u16string text;
    if (index >= 0 && index < kItemDescriptions) {
        text = messages.Get(index);
    } else if (index >= kItemDescriptions && index < kUpgradeDescriptions) {
        const CSItemDescTable *texts = UI().itemDescriptions();
        const ItemDescEntry *entry = texts != nullptr ? texts->Find(kFirstItem + kItemStep * (index - kItemDescriptions))
                                                      : nullptr;
        if (entry != nullptr) {
            text = entry->describe;
        }
    } else if (index >= kUpgradeDescriptions && index < kUpgradeDescriptions + 14) {
        text = messages.Get(kDescriptionEntries + index - kUpgradeDescriptions);
    }
    Lay(descriptionText, text);
}

void CSLobbyStore::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    for (uint32_t *timer : {&leftShakeMs, &rightShakeMs, &moneyShakeMs}) {
        if (*timer < kShakeMs) {
            *timer += ms;
        }
    }
    if (closing) {
        FinishClose();
        return;
    }
    const PadState &pad = UIPadState(g_pUIManager->GetUIPad());
    if (pad.connected == 0) {
        return;
    }
    if (PadPressed(pad, kPadUp)) {
        MoveRow(-1);
    }
    if (PadPressed(pad, kPadDown)) {
        MoveRow(1);
    }
    if (PadPressed(pad, kPadLeft)) {
        ChangeQuantity(1);
    }
    if (PadPressed(pad, kPadRight)) {
        ChangeQuantity(-1);
    }
    if (PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || UIMousePressed()) {
        Confirm();
    }
    if (PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect)) {
        Back();
    }
    if (PadPressed(pad, kPadTriangle)) {
        QuickQuantity();
    }
}

void CSLobbyStore::FinishClose()
{
    if (!g_pUIManager->IsBaseMapCovering()) {
        Release();
    }
}

void CSLobbyStore::MoveRow(int32_t step)
{
    if (mode != kBrowse) {
        // The pickers hold the row; the sell picker shows its total again.
        if (mode == kSellQuantity) {
            ShowTotal();
        }
        return;
    }
    if (rowCount == 0) {
        return;
    }
    const int32_t next = std::clamp(selectedRow + step, 0, rowCount - 1);
    if (next == selectedRow) {
        return;
    }
    list->MoveCursor(0.0f, next, next - selectedRow);
    selectedRow = next;
    ShowDescription(tab);
}

// Left (+1) and right (-1): the tab in browse mode, else the quantity.
void CSLobbyStore::ChangeQuantity(int32_t step)
{
    CSUIManager *ui = g_pUIManager;
    if (mode == kBrowse) {
        SetTab((tab - step + 3) % 3);
        ui->PlayUISound(kUISoundMove, 0);
    }
    // Only the pickers have a quantity (browsing is not one of them).
    if ((mode != kBuyQuantity && mode != kSellQuantity) || questionPending) {
        return;
    }
    const int32_t slot = SelectedSlot();
    int32_t most = 0;
    if (step > 0 && mode == kBuyQuantity) {
        const int32_t room = OwnLimit(slot) - OwnedCount(slot);
        if (room < 1) {
            ShowMessage(kNoRoom);
            ui->PlayUISound(kUISoundCancel, 0);
            return;
        }
        most = room;
    } else if (step > 0) {
        most = OwnedCount(slot);
    }
    const int32_t next = step > 0 ? std::min({quantity + 1, most, kMaxQuantity}) : std::max(quantity - 1, 0);
    if (next != quantity) {
        quantity = next;
        (step > 0 ? leftShakeMs : rightShakeMs) = 0;
        ui->PlayUISound(kUISoundMove, 0);
    }
    ShowTotal();
}

void CSLobbyStore::Confirm()
{
    CSUIManager *ui = g_pUIManager;
    const int32_t slot = SelectedSlot();
    switch (mode) {
    case kBrowse: ConfirmBrowse(); break;
    case kBuyQuantity:
        if (questionPending) {
            Buy();
            mode = kBrowse;
            questionPending = false;
            ui->PlayUISound(kUISoundConfirm, 0);
        } else if (quantity == 0) {
            mode = kBrowse;
        } else if (int64_t{Money()} >= int64_t{UnitPrice(slot)} * quantity) {
            AskQuestion();
        } else {
            ShowMessage(kNoMoney);
            ShakeMoney();
        }
        break;
    case kSellQuantity:
        if (questionPending) {
            Sell();
            mode = kBrowse;
            questionPending = false;
            tab = kNoTab;
            SetTab(kSellTab);
            ui->PlayUISound(kUISoundConfirm, 0);
        } else if (quantity > 0) {
            AskQuestion();
        } else {
            mode = kBrowse;
            ui->PlayUISound(kUISoundCancel, 0);
        }
        break;
    case kUpgrade:
        if (questionPending) {
            ApplyUpgrade();
            mode = kBrowse;
            questionPending = false;
            tab = kNoTab;
            SetTab(kUpgradeTab);
            ui->PlayUISound(kUISoundConfirm, 0);
        } else if (Money() < UnitPrice(slot)) {
            ShowMessage(kNoMoney);
            ShakeMoney();
        } else {
            AskQuestion();
        }
        break;
    default: break;
    }
}

void CSLobbyStore::ConfirmBrowse()
{
    CSUIManager *ui = g_pUIManager;
    if (rowCount == 0) {
        ui->PlayUISound(kUISoundCancel, 0);
        return;
    }
    if (tab == kUpgradeTab) {
        mode = kUpgrade;
        Lay(messageText, WithNumber(messages.Get(kUpgradePrice), UnitPrice(SelectedSlot())));
    } else {
        mode = tab == kBuyTab ? kBuyQuantity : kSellQuantity;
        quantity = 0;
        leftShakeMs = rightShakeMs = moneyShakeMs = kShakeMs;
        ShowTotal();
    }
    SetHeading();
    ui->PlayUISound(kUISoundConfirm, 0);
}

void CSLobbyStore::SetHeading()
{
    if (headingText == nullptr) {
        return;
    }
    const int32_t slot = SelectedSlot();
    std::u16string text = messages.Get(NameEntry(slot));
    if (tab != kUpgradeTab) {
        char counts[32];
        std::snprintf(counts, sizeof counts, " %d/%d", static_cast<int>(OwnedCount(slot)),
                      static_cast<int>(OwnLimit(slot)));
        for (const char *c = counts; *c != '\0'; ++c) {
            text.push_back(static_cast<char16_t>(*c));
        }
    }
    headingText->SetText(nullptr, text.c_str(), 326, 115, 258);
    headingText->AlignX(kAlignBlockCentre, 440);
}

void CSLobbyStore::Back()
{
    CSUIManager *ui = g_pUIManager;
    if (mode == kBrowse) {
        closing = true;
        ui->StartBaseMapCover();
    } else if (questionPending) {
        questionPending = false;
    } else {
        mode = kBrowse;
        shownDescription = -1;
        ShowDescription(tab);
    }
    ui->PlayUISound(kSoundPageBack, 0);
}

void CSLobbyStore::QuickQuantity()
{
    CSUIManager *ui = g_pUIManager;
    const int32_t slot = SelectedSlot();
    switch (mode) {
    case kBrowse:
        if (rowCount > 0) {
            ShowDescription(IsItemSlot(slot) ? kItemDescriptions + slot % 8
                                             : kUpgradeDescriptions + NameEntry(slot) - kLevelNames);
        }
        ui->PlayUISound(kUISoundConfirm, 0);
        break;
    case kBuyQuantity: {
        // With a price of 0 the money buys as many as there is room for.
        const int32_t price = UnitPrice(slot);
        const int32_t room = OwnLimit(slot) - OwnedCount(slot);
        const int32_t affordable = price > 0 ? Money() / price : room;
        if (affordable < 1) {
            ShowMessage(kNoMoney);
            ui->PlayUISound(kUISoundCancel, 0);
        } else if (room > 0) {
            quantity = std::min({affordable, room, kMaxQuantity});
            ShowTotal();
            ui->PlayUISound(kUISoundConfirm, 0);
        } else {
            ShowMessage(kNoRoom);
            ui->PlayUISound(kUISoundCancel, 0);
        }
        break;
    }
    case kSellQuantity:
        if (rowCount > 0) {
            quantity = std::min(OwnedCount(slot), kMaxQuantity);
            ShowTotal();
            ui->PlayUISound(kUISoundConfirm, 0);
        }
        break;
    default: break;
    }
}

void CSLobbyStore::Buy()
{
    CSItemManager *items = UI().items();
    const int32_t slot = SelectedSlot();
    int32_t added = 0;
    // Only what the list takes is paid for.
    while (items != nullptr && added < quantity && items->AddItem(kOwnList, SlotItem(slot))) {
        ++added;
    }
    SetMoney(int64_t{Money()} - int64_t{UnitPrice(slot)} * added);
    TraceStoreTrade("buy", SlotItem(slot), added, Money());
}

void CSLobbyStore::Sell()
{
    CSItemManager *items = UI().items();
    const int32_t slot = SelectedSlot();
    const int32_t before = OwnedCount(slot);
    for (int32_t i = 0; items != nullptr && i < quantity; ++i) {
        items->RemoveItem(kOwnList, SlotItem(slot));
    }
    const int32_t sold = before - OwnedCount(slot);
    SetMoney(int64_t{Money()} + int64_t{UnitPrice(slot)} * sold);
    TraceStoreTrade("sell", SlotItem(slot), sold, Money());
}

void CSLobbyStore::ApplyUpgrade()
{
    // The upgrade picker opens only on an offered upgrade's row, which takes
    // a hero: the slot is one of 16..31.
    if (CSHero *hero = Hero()) {
        const int32_t slot = SelectedSlot();
        const int32_t k = (slot - kFirstUpgradeSlot) % 8;
        if (k == 0) {
            hero->SetHPLevel(hero->hpLevel + 1);
        } else if (k == 1) {
            hero->SetPowerLevel(hero->powerLevel + 1);
        } else {
            hero->SetAbilityFlag(k + 1, 1);
        }
        SetMoney(int64_t{Money()} - UnitPrice(slot));
        TraceStoreUpgrade(slot, Money());
    }
}

void CSLobbyStore::ShowTotal()
{
    const int32_t slot = SelectedSlot();
    const int32_t entry = mode == kSellQuantity ? kSellTotal : kBuyTotal;
    Lay(messageText, WithNumber(messages.Get(entry), int64_t{UnitPrice(slot)} * quantity));
}

void CSLobbyStore::ShowMessage(int32_t entry) { Lay(messageText, messages.Get(entry)); }

void CSLobbyStore::AskQuestion()
{
    questionPending = true;
    Lay(questionText, messages.Get(kQuestion));
    g_pUIManager->PlayUISound(kUISoundConfirm, 0);
}

void CSLobbyStore::ShakeMoney()
{
    moneyShakeMs = 0;
    g_pUIManager->PlayUISound(kUISoundCancel, 0);
}
