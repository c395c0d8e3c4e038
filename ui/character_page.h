// CSCharacterPage: the hero's status page, hosted by the pause menu (mode
// 0, view only) and by the lobby (mode 1, equipping). Over its host's
// picture it shows the hero's portrait, weapon, equipment slots and five
// rolling numbers (money, life, power, attack, defence) on the left and
// three tabs on the right: items, equipment and skills (item_page.h,
// equip_page.h, skill_page.h), which share one text list.
//
// The host hands the page its background (SetBackground: the pause menu
// its streamed MAPBASE picture, the lobby the screen manager's), calls
// Init once with the mode, SetActive(1) to open it, Update and Render each
// frame while IsActive(), and Release at its end. The page closes itself
// on cross or select (in the lobby after the 500 ms base-map cover).
//
// The hero's pictures come from a pack ("\PACK\PAUSE\CHAR01" or "CHAR02")
// streamed in the background; the equipment and skill tabs open once it
// is in. A pack that cannot be read gives its pictures up for this opening
// with one debug line and opens both tabs, the skill file then read from
// disc.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/equip_page.h"
#include "ui/item_page.h"
#include "ui/number_display.h"
#include "ui/skill_page.h"
#include "ui/pack_stream.h"
#include "ui/text_list.h"
#include "ui/ui_quad.h"

class CSHero;
struct RwTexture;

inline constexpr uint8_t kStatusPagePauseMode = 0;
inline constexpr uint8_t kStatusPageLobbyMode = 1;

enum StatusTab : int32_t { kTabItems = 0, kTabEquipment = 1, kTabSkills = 2 };

class CSCharacterPage {
public:
    static constexpr float kPortraitFadeSeconds = 1.5f;

    CSCharacterPage() = default;
    ~CSCharacterPage() { Release(); }
    CSCharacterPage(const CSCharacterPage &) = delete;
    CSCharacterPage &operator=(const CSCharacterPage &) = delete;

    void Init(uint8_t pageMode);
    // The host's panel picture, drawn behind the tabs (borrowed).
    void SetBackground(RwTexture *texture);
    void SetActive(bool on);
    void Update(float dt);
    void Render() const;
    void Release();
    bool IsActive() const { return active != 0; }

    // ---- equipping in the lobby (character_page_equip.cpp) ----
    void BeginEquip();
    void StepSlotChoice(float dt);
    void OnUnequipAnswer(uint32_t answer);
    void RefreshSlotIcons();
    void UpdatePropertyIcons();

    // ---- the hero's pictures (character_page_stream.cpp) ----
    void StreamPack();
    void LoadHeroTextures();
    void StepPortrait(float dt);
    void StepWeaponPicture(float dt);

    bool active = false;
    bool closing = false;
    uint8_t mode = kStatusPagePauseMode;
    uint8_t slotChoice = 0;
    int32_t currentTab = kTabItems;
    int32_t chosenSlot = 0;
    uint8_t subPageBusy = 0;

    // For the hosts and the tests.
    CSHero *Hero() const;
    int32_t HeroType() const { return heroType_; }
    const UIPackStream &Pack() const { return pack_; }
    CSItemPage *ItemPage() const { return itemPage_.get(); }
    CSEquipPage *EquipPage() const { return equipPage_.get(); }
    CSSkillPage *SkillPage() const { return skillPage_.get(); }
    const CSTextList &List() const { return list_; }
    const NumberDisplay &Number(int i) const { return numbers_[i]; }
    const OwnedPicture *Portrait() const { return portrait_.get(); }
    const OwnedPicture *Weapon(int i) const { return weapons_[i].get(); }
    RwTexture *WeaponTexture(int i) const { return weaponTextures_[i]; }
    RwTexture *PortraitTexture() const { return portraitTexture_; }
    const OwnedPicture *SlotIcon(int i) const { return slotIconShown_[i] != 0 ? &slotIcons_[i] : nullptr; }
    const OwnedPicture *SlotChoiceFrame() const { return slotChoiceFrame_.get(); }
    int32_t WeaponIconCount() const { return weaponIconCount_; }
    int32_t ArmourIconCount() const { return armourIconCount_; }
    // 0 icon A, 1 icon B, in the place `i` of the row.
    int32_t WeaponIconKind(int i) const { return weaponIconKind_[i]; }
    int32_t ArmourIconKind(int i) const { return armourIconKind_[i]; }
    bool PortraitFadeDone() const { return portraitFadeDone_; }
    bool WeaponFadeDone() const { return weaponFadeDone_; }
    int32_t NotedWeapon() const { return slot2Weapon_; }
    // The tab's sub-page is ready to be entered.
    bool TabReady(int32_t tab) const;

private:
    void BuildPictures();
    void FreePictures();
    void StepNumbers(float dt);
    void ReadHeroValues(int32_t values[5], int32_t maxima[5]) const;
    void ChangeTab(int32_t tab);
    void SetSubPageActive(int32_t tab, bool on);
    void UpdateSubPage(float dt);
    void RenderSubPage() const;
    void PlaceSlotChoiceFrame(float margin);
    void RestoreArmourSlots();
    void GiveUpHeroPictures();

    UIPackStream pack_;
    CSTextList list_;
    std::unique_ptr<CSItemPage> itemPage_;
    std::unique_ptr<CSSkillPage> skillPage_;
    std::unique_ptr<CSEquipPage> equipPage_;

    RwTexture *background_ = nullptr;  // the host's
    int32_t heroType_ = 0;
    std::unique_ptr<OwnedPicture> backgroundPicture_;
    std::unique_ptr<OwnedPicture[]> statFrames_;  // three
    std::unique_ptr<OwnedPicture> namePlate_;
    std::unique_ptr<OwnedPicture> heroName_;
    std::unique_ptr<OwnedPicture[]> tabs_;  // [tab * 2 + look]: look 0 current, 1 other
    std::unique_ptr<OwnedPicture[]> labels_;  // five
    std::unique_ptr<OwnedPicture> portrait_;
    float portraitFadeTime_ = 0.0f;
    uint8_t fadeStart_[4] = {0, 0, 0, 0};        // red, green, blue, alpha
    uint8_t fadeEnd_[4] = {240, 240, 240, 240};
    std::unique_ptr<OwnedPicture> weapons_[2];  // main, second (hero 1 only)
    float weaponFadeTime_ = 0.0f;
    bool weaponFadeDone_ = false;
    RwTexture *weaponTextures_[5] = {};
    RwTexture *portraitTexture_ = nullptr;
    bool portraitFadeDone_ = false;
    NumberDisplay numbers_[5];
    OwnedPicture slotIcons_[2];
    uint8_t slotIconShown_[2] = {0, 0};
    std::unique_ptr<OwnedPicture> slotChoiceFrame_;
    float blinkTime_ = 0.0f;
    uint8_t blinkDirection_ = 0;
    OwnedPicture weaponIcons_[2];
    int32_t weaponIconCount_ = 0;
    int32_t weaponIconKind_[2] = {0, 0};
    OwnedPicture armourIcons_[2];
    int32_t armourIconCount_ = 0;
    int32_t armourIconKind_[2] = {0, 0};
    OwnedPicture armourBackings_[2];
    int32_t slot2Weapon_ = 0;
};

// The page whose take-off question is open (the modal box's answer goes
// to it), null when none.
extern CSCharacterPage *g_pUnequipQuestionPage;
