// CSItemPage: the first tab of the status page. It lists the items the
// player owns (the first player's recovery and explosive items, then the
// shared ItemType 7 items) in the page's shared list, shows the
// highlighted item's icon and owned count, and its description on
// triangle. With nothing owned the list holds one blank row and the keys
// do nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/status_tab_kit.h"
#include "ui/ui_quad.h"

class CSTextList;

struct ItemEntry {
    std::u16string name;
    std::u16string description;
    int32_t count = 0;
    int32_t itemId = 0;
    int32_t category = 0;  // 0 recovery, 1 explosive, 2 shared ItemType 7
};

class CSItemPage {
public:
    static constexpr int32_t kListTop = 106;
    static constexpr int32_t kListBottom = 348;
    static constexpr int32_t kListLeft = 318;
    static constexpr int32_t kListRight = 561;

    // On a page just made: the shared list it shows its entries in, for its life.
    void Init(CSTextList *list);
    void SetActive(bool on);
    // A frame of the open tab: the character page runs and draws only its
    // current tab, which is the active one.
    void Update(float dt);
    void Render() const;
    void Release();
    // The icon and count of the selected entry.
    void ShowSelected();

    bool active = false;

    uint8_t DescriptionShown() const { return description_.ShownFlag(); }
    int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }
    int32_t Selected() const { return selected_; }
    const ItemEntry &Entry(int32_t i) const { return entries_[static_cast<size_t>(i)]; }
    const OwnedPicture *Icon() const { return icon_.get(); }
    const OwnedPicture *CountDigit(int i) const { return digits_ ? &digits_[i] : nullptr; }
    const TabDescription &Description() const { return description_; }

private:
    void Build();

    TabDescription description_;
    float holdTime_ = 0.0f;
    std::vector<ItemEntry> entries_;
    int32_t selected_ = 0;
    std::unique_ptr<OwnedPicture> icon_;
    std::unique_ptr<OwnedPicture[]> digits_;  // two
    CSTextList *list_ = nullptr;
};
