// CSEquipPage: the second tab of the status page. It lists the equipment
// the first player owns (weapons first, then the rest, in list order; the
// entries are built once per opening of the page, so equipping does not
// reorder them), marks what is worn with its slot's colour and underline,
// shows the highlighted piece's picture and puts a highlighted weapon on
// the hero as a preview; leaving the tab puts the confirmed weapon back.
// In the lobby the status page equips and takes off through EquipWeapon
// and EquipArmour (character_page_equip.cpp).
//
// The slot ids are the hero's equipment as last confirmed: taken from the
// hero when the status page refreshes its slot icons, changed only by a
// confirmed equip or take-off.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/status_tab_kit.h"
#include "ui/ui_quad.h"

class CSTextList;
struct EquipContent;

inline constexpr int32_t kEquipKindWeapon = 4;
inline constexpr int32_t kEquipKindOther = 3;

struct EquipEntry {
    std::u16string name;
    std::u16string description;
    int32_t count = 0;
    int32_t itemId = 0;
    int32_t kind = kEquipKindOther;
    int32_t equippedSlot = -1;  // 0, 1, 2 or -1
};

// A weapon is equipment whose id mod 1000 is at least 160.
inline bool IsWeaponId(int32_t itemId) { return itemId % 1000 >= 160; }

class CSEquipPage {
public:
    static constexpr uint32_t kWornColour = 0xC87B0300u;

    // On a page just made: the shared list (kept for its life), the life at
    // the opening, the entries.
    void Init(CSTextList *list);
    void SetActive(bool on);
    void SetTexturesReady() { texturesReady = true; }
    // A frame of the open tab: the character page runs and draws only its
    // current tab, which is the active one.
    void Update(float dt);
    void Render() const;
    void Release();

    // Slot 2 emptied, then the weapon `id` put in (-1: the selected entry's;
    // 0: left empty). False when the selected entry is the worn weapon
    // (6600000) or not a weapon. With `save` it becomes the confirmed one.
    bool EquipWeapon(bool save, int32_t id);
    // The same for armour slot 0 or 1; false when the selected entry is worn
    // in slot 0 or 1 (6600000) or is not armour.
    bool EquipArmour(int32_t slot, bool save, int32_t id);
    void MarkEquipped();
    // The picture and the preview of the selected entry.
    void OnSelect();
    void Show();
    void Hide();

    bool active = false;
    bool texturesReady = false;
    bool slotChoice = false;
    uint8_t mode = 0;       // 1 lobby
    bool question = false;  // the take-off question is open
    int32_t slotIds[3] = {0, 0, 0};

    uint8_t DescriptionShown() const { return description_.ShownFlag(); }
    int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }
    int32_t Selected() const { return selected_; }
    const EquipEntry *SelectedEntry() const
    {
        return entries_.empty() ? nullptr : &entries_[static_cast<size_t>(selected_)];
    }
    const EquipEntry &Entry(int32_t i) const { return entries_[static_cast<size_t>(i)]; }
    const OwnedPicture *Picture() const { return picture_.get(); }
    // Drawn: the underlines exist (from the marking to the hiding) and this one is set.
    bool UnderlineVisible(int i) const
    {
        return underlines_ != nullptr && (*underlines_)[static_cast<size_t>(i)].shown;
    }
    const OwnedPicture *Underline(int i) const
    {
        return underlines_ ? &(*underlines_)[static_cast<size_t>(i)].picture : nullptr;
    }
    const TabDescription &Description() const { return description_; }

private:
    void BuildEntries();
    void PutInSlot(int32_t slot, int32_t itemId);

    TabDescription description_;
    float holdTime_ = 0.0f;
    std::vector<EquipEntry> entries_;
    int32_t selected_ = 0;
    std::unique_ptr<OwnedPicture> picture_;
    CSTextList *list_ = nullptr;
    // The worn pieces' underlines, one a slot.
    struct WornLine {
        OwnedPicture picture;
        bool shown = false;
    };
    std::unique_ptr<std::array<WornLine, 3>> underlines_;
    int32_t lifeAtOpen_ = 0;  // the hero's life when the page opened
};

// The record of an equipment id in the running stage's item tables, null
// when none.
const EquipContent *FindEquipRecord(int32_t itemId);
