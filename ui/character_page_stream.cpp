// The status page's hero pictures: the hero's pack streamed in the
// background, the portrait and the five weapon pictures read from it, and
// their fades (see character_page.h).
#include <string>

#include "actor/hero.h"
#include "app/debug.h"
#include "app/textures.h"
#include "ui/character_page.h"
#include "ui/character_page_layout.h"
#include "ui/ui_manager.h"

namespace L = status_layout;

namespace {


// Start + (end - start) x t per channel, truncated.
uint32_t FadeColour(const uint8_t start[4], const uint8_t end[4], float t)
{
    uint32_t c[4];
    for (int i = 0; i < 4; ++i) {
        c[i] = static_cast<uint32_t>(static_cast<float>(start[i]) + static_cast<float>(end[i] - start[i]) * t);
    }
    return c[3] << 24 | c[0] << 16 | c[1] << 8 | c[2];
}

}  // namespace

void CSCharacterPage::GiveUpHeroPictures()
{
    // The pictures are gone for this opening; the tabs open all the same,
    // the skill file read from disc.
    if (equipPage_ != nullptr) {
        equipPage_->SetTexturesReady();
    }
    if (skillPage_ != nullptr) {
        skillPage_->LoadSkills(heroType_);
    }
    pack_.Close();
}

void CSCharacterPage::StreamPack()
{
    if (pack_.InProgress()) {
        pack_.Step();
    }
    if (pack_.Failed()) {
        GiveUpHeroPictures();  // the stream said why
    } else if (pack_.Complete()) {
        LoadHeroTextures();
    }
}

void CSCharacterPage::LoadHeroTextures()
{
    if (pack_.Buffer()->fileSize == 0) {
        DebugPrint("%s is empty: the status page goes on without its pictures\n", pack_.Path().c_str());
        GiveUpHeroPictures();
        return;
    }
    if (!pack_.OpenPack()) {
        GiveUpHeroPictures();
        return;
    }
    SetUIImagePath("\\RESOURCE\\UITEXT\\PAUSE\\");
    if (portraitTexture_ == nullptr) {
        portraitTexture_ = heroType_ == 1 ? LoadTextureWithMask("CHAR02.BMP", "CHAR02A.BMP")
                                          : LoadTextureWithMask("CHAR01.BMP", "CHAR01A.BMP");
        if (portrait_ != nullptr) {
            portrait_->picture.texture = portraitTexture_;
        }
    }
    if (equipPage_ != nullptr) {
        equipPage_->SetTexturesReady();
    }
    if (skillPage_ != nullptr) {
        skillPage_->LoadSkills(heroType_);
    }
    for (int32_t i = 0; i < L::kWeaponPictures; ++i) {
        if (weaponTextures_[i] != nullptr) {
            continue;
        }
        const std::string id = std::to_string(L::kFirstWeaponPicture[heroType_] + 10 * i);
        weaponTextures_[i] = LoadTextureWithMask((id + ".BMP").c_str(), (id + "A.BMP").c_str());
    }
    RwImageSetPath("");
    pack_.CloseOpenedPack();
    pack_.Close();
}

void CSCharacterPage::StepPortrait(float dt)
{
    if (portraitFadeDone_) {
        return;
    }
    StreamPack();
    if (portrait_ == nullptr || portrait_->picture.texture == nullptr) {
        return;
    }
    portraitFadeTime_ += dt;
    if (portraitFadeTime_ < kPortraitFadeSeconds) {
        SetQuadArgb(portrait_->quad.v, FadeColour(fadeStart_, fadeEnd_, portraitFadeTime_ / kPortraitFadeSeconds));
        return;
    }
    portraitFadeDone_ = true;
    portraitFadeTime_ = 0.0f;
    SetQuadArgb(portrait_->quad.v, FadeColour(fadeStart_, fadeEnd_, 1.0f));
}

void CSCharacterPage::StepWeaponPicture(float dt)
{
    if (weapons_[0] == nullptr) {
        return;
    }
    bool loaded = false;
    for (RwTexture *texture : weaponTextures_) {
        loaded = loaded || texture != nullptr;
    }
    if (loaded && slot2Weapon_ != 0) {
        // Strips 0 to 4 are the first hero's weapons (the main picture),
        // 5 to 9 the second's (both pictures); any other id has none.
        const int32_t index = slot2Weapon_ % 1000 / 10 - 16;
        RwTexture *main = nullptr;
        RwTexture *second = nullptr;
        if (index >= 0 && index < L::kWeaponPictures) {
            main = weaponTextures_[index];
        } else if (index >= L::kWeaponPictures && index < 2 * L::kWeaponPictures) {
            main = second = weaponTextures_[index - L::kWeaponPictures];
        }
        weapons_[0]->picture.texture = main;
        if (weapons_[1] != nullptr) {
            weapons_[1]->picture.texture = second;
        }
    }
    if (weaponFadeDone_) {
        return;
    }
    if (weapons_[0]->picture.texture == nullptr) {
        weaponFadeTime_ = 0.0f;
        return;
    }
    weaponFadeTime_ += dt;
    const bool done = weaponFadeTime_ >= kPortraitFadeSeconds;
    const uint32_t colour = FadeColour(fadeStart_, fadeEnd_, done ? 1.0f : weaponFadeTime_ / kPortraitFadeSeconds);
    for (std::unique_ptr<OwnedPicture> &weapon : weapons_) {
        if (weapon != nullptr) {
            SetQuadArgb(weapon->quad.v, colour);
        }
    }
    if (done) {
        weaponFadeDone_ = true;
        weaponFadeTime_ = 0.0f;
    }
}
