// The lobby's store (menu entry 2): three tabs of rows in a text list. Buy
// offers the eight consumable items at their prices in the item tables,
// sell buys back what the player carries at 80 % of the price, and the
// upgrades raise the first hero's HP and power levels and teach its six
// abilities at fixed prices. A row is confirmed into a quantity picker
// (buy, sell) or a price (upgrade), then a question, then carried out on
// the first hero's money and the player's own item list (list 1).
//
// The texts come from the language's message file (<language>.STO, see
// store_messages.h) and the items' descriptions from the item texts. The
// pictures are the screen manager's, the lobby's MAPBASE, and the icon
// sheet 001.BMP read from the LOBYSTOR pack.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/store_messages.h"

class CSTextBlock;
class CSTextList;
struct RwTexture;

class CSLobbyStore {
public:
    enum Mode : uint32_t { kBrowse = 0, kBuyQuantity = 1, kSellQuantity = 2, kUpgrade = 3 };
    enum Tab : int32_t { kNoTab = -1, kBuyTab = 0, kSellTab = 1, kUpgradeTab = 2 };
    static constexpr int32_t kSlots = 32;
    static constexpr int32_t kRowsPerTab = 8;
    static constexpr int32_t kMaxQuantity = 99;  // what the two-digit picker shows
    static constexpr uint32_t kShakeMs = 100;

    CSLobbyStore();
    ~CSLobbyStore();
    CSLobbyStore(const CSLobbyStore &) = delete;
    CSLobbyStore &operator=(const CSLobbyStore &) = delete;

    void SetActive(bool on);
    void Update(uint32_t ms);
    void Render();
    void Release();
    bool Active() const { return active != 0; }

    // ---- what a store slot is (the rows of every tab are slots) ----
    // The item of slots 0..15 (5300000 + 10 x (slot mod 8)), 0 for others.
    static int32_t SlotItem(int32_t slot);
    // The slot's unit price: buy, sell (80 %, truncated) or upgrade price;
    // 0 for an item the tables do not price.
    int32_t UnitPrice(int32_t slot) const;
    // Whether the tab offers the slot now.
    bool Offered(int32_t slot) const;
    // The row name's message entry of the slot.
    static int32_t NameEntry(int32_t slot);

    int32_t Tab() const { return tab; }
    uint32_t GetMode() const { return mode; }
    int32_t RowCount() const { return rowCount; }
    int32_t SelectedRow() const { return selectedRow; }
    int32_t RowSlot(int32_t row) const { return row >= 0 && row < kRowsPerTab ? rowSlots[row] : -1; }
    int32_t Quantity() const { return quantity; }
    bool QuestionPending() const { return questionPending; }
    const StoreMessages &Messages() const { return messages; }
    const CSTextBlock *DescriptionText() const { return descriptionText; }
    const CSTextBlock *MessageText() const { return messageText; }
    const CSTextBlock *QuestionText() const { return questionText; }
    const CSTextBlock *HeadingText() const { return headingText; }
    const CSTextList *List() const { return list.get(); }

    std::unique_ptr<CSTextList> list;
    CSTextBlock *descriptionText = nullptr;
    CSTextBlock *headingText = nullptr;
    CSTextBlock *messageText = nullptr;
    CSTextBlock *questionText = nullptr;
    // Borrowed: the manager's and the lobby's.
    RwTexture *baseMap = nullptr;
    RwTexture *lobbyArt = nullptr;
    RwTexture *playerArt = nullptr;
    RwTexture *wordArt = nullptr;
    RwTexture *mapBase = nullptr;
    RwTexture *iconSheet = nullptr;  // owned
    StoreMessages messages;
    bool messagesRead = false;
    bool active = false;
    bool closing = false;
    bool questionPending = false;
    int32_t tab = kNoTab;
    uint32_t mode = kBrowse;
    int32_t selectedRow = 0;
    int32_t rowCount = 0;
    int32_t rowSlots[kRowsPerTab] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int32_t quantity = 0;
    uint32_t leftShakeMs = kShakeMs;
    uint32_t rightShakeMs = kShakeMs;
    uint32_t moneyShakeMs = kShakeMs;
    int32_t shownDescription = -1;

private:
    void LoadArt();
    void SetTab(int32_t next);
    void ShowDescription(int32_t index);
    void FinishClose();
    void MoveRow(int32_t step);
    void ChangeQuantity(int32_t step);
    void Confirm();
    void ConfirmBrowse();
    void Back();
    void QuickQuantity();
    void Buy();
    void Sell();
    void ApplyUpgrade();
    void ShowTotal();
    void ShowMessage(int32_t entry);
    void AskQuestion();
    void ShakeMoney();
    int32_t SelectedSlot() const { return RowSlot(selectedRow); }
    int32_t OwnedCount(int32_t slot) const;
    int32_t OwnLimit(int32_t slot) const;
    int32_t Money() const;
    void SetMoney(int64_t money) const;
    void SetHeading();
    void DrawTabs() const;
    void DrawBrowse() const;
    void DrawPicker() const;
    void DrawIcon(int32_t slot, float x0, float y0, float x1, float y1) const;
    void DrawMoney() const;

    std::vector<std::u16string> rowNames_;
};
