// The hero's status page: opening and closing, its pictures, numbers,
// tabs, update and drawing (see character_page.h).
#include "ui/character_page.h"

#include <string>

#include "actor/hero.h"
#include "app/textures.h"
#include "ui/character_page_layout.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_trace.h"

namespace L = status_layout;

CSCharacterPage *g_pUnequipQuestionPage = nullptr;

namespace {

void SetPlaced(OwnedPicture *p, RwTexture *texture, const L::Source &s, const L::Screen &r, uint32_t argb)
{
    p->SetUV(texture, s.s0, s.t0, s.s1, s.t1, r.x0, r.y0, r.x1, r.y1, argb);
}


RwTexture *WordArt() { return g_pUIManager != nullptr ? g_pUIManager->WordArt() : nullptr; }

}  // namespace

CSHero *CSCharacterPage::Hero() const { return UI().firstHero != nullptr ? UI().firstHero() : nullptr; }

void CSCharacterPage::Init(uint8_t pageMode)
{
    Release();
    mode = pageMode;
    closing = 0;
    slotChoice = 0;
    chosenSlot = 0;
    currentTab = kTabItems;
    subPageBusy = 0;
}

void CSCharacterPage::SetBackground(RwTexture *texture)
{
    background_ = texture;
    if (backgroundPicture_ != nullptr) {
        backgroundPicture_->picture.texture = texture;
    }
}

bool CSCharacterPage::TabReady(int32_t tab) const
{
    if (tab == kTabItems) {
        return itemPage_ != nullptr;
    }
    if (tab == kTabEquipment) {
        return equipPage_ != nullptr && equipPage_->texturesReady;
    }
    return tab == kTabSkills && skillPage_ != nullptr && skillPage_->loaded;
}

void CSCharacterPage::SetActive(bool on)
{
    if (active == on) {
        return;
    }
    if (on == 0) {
        FreePictures();
        active = 0;
        return;
    }
    active = 1;
    closing = 0;
    for (int i = 0; i < 4; ++i) {
        fadeStart_[i] = 0;
        fadeEnd_[i] = 240;
    }
    const CSHero *hero = Hero();
    heroType_ = hero != nullptr && hero->aiType == kAiTypeHero1 ? 1 : 0;
    list_.Init();
    itemPage_ = std::make_unique<CSItemPage>();
    itemPage_->Init(&list_);
    equipPage_ = std::make_unique<CSEquipPage>();
    equipPage_->Init(&list_);
    equipPage_->mode = mode;
    skillPage_ = std::make_unique<CSSkillPage>();
    skillPage_->Init(&list_);
    BuildPictures();
    currentTab = kTabItems;
    itemPage_->SetActive(1);
}

void CSCharacterPage::BuildPictures()
{
    const int32_t set = UILanguageColumn();
    backgroundPicture_ = std::make_unique<OwnedPicture>();
    SetPlaced(backgroundPicture_.get(), background_, {0, 0, 1, 1}, L::kBackground, L::kOpaque);
    statFrames_ = std::make_unique<OwnedPicture[]>(3);
    for (int i = 0; i < 3; ++i) {
        SetPlaced(&statFrames_[i], UIPlayerArt(), L::kStatFrames[i].source, L::kStatFrames[i].screen, L::kStatFrame);
    }
    namePlate_ = std::make_unique<OwnedPicture>();
    SetPlaced(namePlate_.get(), UIPlayerArt(), L::kNamePlate.source, L::kNamePlate.screen, L::kOpaque);
    heroName_ = std::make_unique<OwnedPicture>();
    const L::Placed &name = L::kHeroNames[set][heroType_];
    SetPlaced(heroName_.get(), WordArt(), name.source, name.screen, L::kOpaque);
    tabs_ = std::make_unique<OwnedPicture[]>(6);
    for (int tab = 0; tab < 3; ++tab) {
        const L::TabLayout &t = L::kTabs[tab];
        const L::Screen screen = {t.x0[set], L::kTabTop, t.x1[set], L::kTabBottom[set]};
        SetPlaced(&tabs_[tab * 2], WordArt(), t.current[set], screen, L::kOpaque);
        SetPlaced(&tabs_[tab * 2 + 1], WordArt(), t.other[set], screen, L::kOpaque);
    }
    labels_ = std::make_unique<OwnedPicture[]>(L::kStatCount);
    for (int i = 0; i < L::kStatCount; ++i) {
        const L::LabelLayout &label = L::kLabels[i];
        SetPlaced(&labels_[i], WordArt(), label.source[set], {L::kLabelLeft, label.y0, label.x1[set], label.y1},
                  L::kOpaque);
    }
    // The portrait: it starts the streamed read of the hero's pack.
    portrait_ = std::make_unique<OwnedPicture>();
    SetPlaced(portrait_.get(), nullptr, L::kPortraitSource, L::kPortrait[heroType_], 0);
    portraitFadeTime_ = 0.0f;
    portraitFadeDone_ = false;
    pack_.Request(std::string(UIDataRoot()) + (heroType_ == 1 ? "\\PACK\\PAUSE\\CHAR02.STR" : "\\PACK\\PAUSE\\CHAR01.STR"));

    int32_t values[5];
    int32_t maxima[5];
    ReadHeroValues(values, maxima);
    for (int i = 0; i < L::kStatCount; ++i) {
        const bool hasMax = i == L::kLife || i == L::kPower;
        numbers_[i].Start(values[i], maxima[i], hasMax, L::kLabels[i].digitsY0, L::kLabels[i].digitsY1);
    }
    RefreshSlotIcons();
    weapons_[0] = std::make_unique<OwnedPicture>();
    SetPlaced(weapons_[0].get(), nullptr, L::kMainWeapon[heroType_].source, L::kMainWeapon[heroType_].screen, 0);
    if (heroType_ == 1) {
        weapons_[1] = std::make_unique<OwnedPicture>();
        SetPlaced(weapons_[1].get(), nullptr, L::kSecondWeapon.source, L::kSecondWeapon.screen, 0);
    }
    weaponFadeTime_ = 0.0f;
    weaponFadeDone_ = false;
    UpdatePropertyIcons();
}

void CSCharacterPage::FreePictures()
{
    backgroundPicture_.reset();
    statFrames_.reset();
    namePlate_.reset();
    heroName_.reset();
    tabs_.reset();
    labels_.reset();
    portrait_.reset();
    for (std::unique_ptr<OwnedPicture> &weapon : weapons_) {
        weapon.reset();
    }
    for (NumberDisplay &number : numbers_) {
        number.Release();
    }
    DestroyTexture(portraitTexture_);
    portraitTexture_ = nullptr;
    for (RwTexture *&texture : weaponTextures_) {
        DestroyTexture(texture);
        texture = nullptr;
    }
    pack_.CloseOpenedPack();
    pack_.Close();
    slotChoiceFrame_.reset();
    slotChoice = 0;
    chosenSlot = 0;
    if (g_pUnequipQuestionPage == this) {
        g_pUnequipQuestionPage = nullptr;
    }
    // The sub-pages go: the equipment page puts the confirmed weapon back.
    if (itemPage_ != nullptr) {
        itemPage_->Release();
    }
    if (equipPage_ != nullptr) {
        equipPage_->Release();
    }
    if (skillPage_ != nullptr) {
        skillPage_->Release();
    }
    itemPage_.reset();
    equipPage_.reset();
    skillPage_.reset();
    list_.Release();
    currentTab = kTabItems;
    subPageBusy = 0;
}

void CSCharacterPage::Release()
{
    FreePictures();
    active = 0;
    closing = 0;
}

// ---- Numbers

void CSCharacterPage::ReadHeroValues(int32_t values[5], int32_t maxima[5]) const
{
    for (int i = 0; i < 5; ++i) {
        values[i] = maxima[i] = 0;
    }
    CSHero *hero = Hero();
    if (hero == nullptr) {
        return;
    }
    int64_t money = hero->money;
    if (mode == kStatusPagePauseMode) {
        money += hero->stageMoney;  // the pickups of the running stage
    }
    values[L::kMoney] = static_cast<int32_t>(std::min<int64_t>(money, INT32_MAX));
    values[L::kLife] = hero->hp;
    maxima[L::kLife] = hero->GetMaxHP();
    values[L::kPower] = hero->power;
    maxima[L::kPower] = hero->GetMaxPower();
    values[L::kAttack] = hero->GetAttackBonus();
    values[L::kDefence] = hero->GetDefense();
}

void CSCharacterPage::StepNumbers(float dt)
{
    int32_t values[5];
    int32_t maxima[5];
    ReadHeroValues(values, maxima);
    for (int i = 0; i < L::kStatCount; ++i) {
        numbers_[i].Step(dt, values[i], maxima[i]);
    }
}

// ---- Tabs

void CSCharacterPage::SetSubPageActive(int32_t tab, bool on)
{
    switch (tab) {
    case kTabItems:
        itemPage_->SetActive(on);
        break;
    case kTabEquipment:
        equipPage_->SetActive(on);
        break;
    case kTabSkills:
        skillPage_->SetActive(on);
        break;
    default:
        break;
    }
}

void CSCharacterPage::ChangeTab(int32_t tab)
{
    if (!TabReady(tab)) {
        return;
    }
    SetSubPageActive(currentTab, 0);
    SetSubPageActive(tab, 1);
    currentTab = tab;
    // Leaving the equipment tab takes its preview back: the icons follow.
    UpdatePropertyIcons();
    TraceStatusTab(tab);
    if (g_pUIManager != nullptr) {
        g_pUIManager->PlayUISound(kUISoundMove, 0);
    }
}

void CSCharacterPage::UpdateSubPage(float dt)
{
    switch (currentTab) {
    case kTabItems:
        itemPage_->Update(dt);
        subPageBusy = itemPage_->DescriptionShown();
        break;
    case kTabEquipment:
        equipPage_->Update(dt);
        subPageBusy = equipPage_->DescriptionShown();
        break;
    case kTabSkills:
        skillPage_->Update(dt);
        subPageBusy = skillPage_->DescriptionShown();
        break;
    default:
        break;
    }
}

void CSCharacterPage::RenderSubPage() const
{
    switch (currentTab) {
    case kTabItems:
        itemPage_->Render();
        break;
    case kTabEquipment:
        equipPage_->Render();
        break;
    case kTabSkills:
        skillPage_->Render();
        break;
    default:
        break;
    }
}

// ---- The frame

void CSCharacterPage::Update(float dt)
{
    if (active == 0) {
        return;
    }
    StepWeaponPicture(dt);
    StepPortrait(dt);
    StepNumbers(dt);
    if (currentTab == kTabEquipment) {
        UpdatePropertyIcons();
    }
    if (slotChoice != 0) {
        StepSlotChoice(dt);
        return;
    }
    if (closing != 0) {
        if (g_pUIManager == nullptr || !g_pUIManager->IsBaseMapCovering()) {
            SetActive(0);
        }
        return;
    }
    const PadState &pad = InterfacePad();
    if (pad.connected != 0 && subPageBusy == 0) {
        if (pad.buttons[kPadLeft] == kPadPressedState) {
            ChangeTab(currentTab == kTabItems ? kTabSkills : currentTab - 1);
            return;
        }
        if (pad.buttons[kPadRight] == kPadPressedState) {
            ChangeTab(currentTab == kTabSkills ? kTabItems : currentTab + 1);
            return;
        }
        if (BackPressed(pad)) {
            if (mode == kStatusPageLobbyMode) {
                closing = 1;
                if (g_pUIManager != nullptr) {
                    g_pUIManager->StartBaseMapCover();
                }
            } else {
                SetActive(0);
            }
            PlayTabSound(kUISoundBack);
            return;
        }
        if (mode == kStatusPageLobbyMode && currentTab == kTabEquipment &&
            (ConfirmPressed(pad) || UIMousePressed())) {
            BeginEquip();
            return;
        }
    }
    UpdateSubPage(dt);
}

void CSCharacterPage::Render() const
{
    if (active == 0) {
        return;
    }
    for (const std::unique_ptr<OwnedPicture> &weapon : weapons_) {
        if (weapon != nullptr && weapon->picture.texture != nullptr) {
            weapon->picture.Draw();
        }
    }
    if (portrait_ != nullptr && portrait_->picture.texture != nullptr) {
        portrait_->picture.Draw();
    }
    for (int i = 0; i < 3; ++i) {
        statFrames_[i].picture.Draw();
    }
    namePlate_->picture.Draw();
    heroName_->picture.Draw();
    for (int i = 0; i < L::kStatCount; ++i) {
        labels_[i].picture.Draw();
    }
    for (const NumberDisplay &number : numbers_) {
        number.Draw();
    }
    for (int i = 0; i < weaponIconCount_; ++i) {
        weaponIcons_[i].picture.Draw();
    }
    for (int i = 0; i < armourIconCount_; ++i) {
        armourBackings_[i].picture.Draw();
        armourIcons_[i].picture.Draw();
    }
    if (mode == kStatusPageLobbyMode && slotChoice != 0) {
        if (slotChoiceFrame_ != nullptr) {
            slotChoiceFrame_->picture.Draw();
        }
        DrawTabFooter(3);
    }
    for (int i = 0; i < 2; ++i) {
        if (slotIconShown_[i] != 0) {
            slotIcons_[i].picture.Draw();
        }
    }
    backgroundPicture_->picture.Draw();
    for (int tab = 0; tab < 3; ++tab) {
        tabs_[tab * 2 + (tab == currentTab ? 0 : 1)].picture.Draw();
    }
    RenderSubPage();
}
