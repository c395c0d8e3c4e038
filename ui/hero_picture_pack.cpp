// The result screens' hero pictures (see hero_picture_pack.h).
#include "ui/hero_picture_pack.h"

#include <algorithm>
#include <string>

#include "actor/hero.h"
#include "actor/item_records.h"
#include "app/debug.h"
#include "app/textures.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

namespace {

constexpr uint32_t kFirstWeapon[2] = {5100160, 5100210};
constexpr uint32_t kWeaponStep = 10;

// The ranking's places; sources in 512ths of the pictures.
constexpr UIRect kHeroSource = {4, 1, 508, 397};
constexpr UIRect kHeroScreen[2] = {{85, 44, 238, 441}, {102, 37, 233, 434}};
constexpr UIPlaced kWeapon[2] = {{{9, 202, 114, 441}, {4, 2, 424, 480}}, {{11, 204, 123, 407}, {4, 2, 452, 408}}};
constexpr UIPlaced kSecondWeaponPart = {{186, 51, 215, 97}, {4, 410, 120, 502}};

UIPlaced Moved(const UIPlaced &placed, float dx)
{
    return {{placed.screen.x0 + dx, placed.screen.y0, placed.screen.x1 + dx, placed.screen.y1}, placed.source};
}

std::string PackPath(int32_t hero)
{
    return std::string(UIDataRoot()) + (hero == 0 ? "\\PACK\\UI1\\RANKPIC1.STR" : "\\PACK\\UI1\\RANKPIC2.STR");
}

}  // namespace

uint32_t WornWeaponId()
{
    const CSHero *hero = UI().firstHero();
    if (hero == nullptr) {
        return g_pUIManager != nullptr ? g_pUIManager->heroBlock.equipped[kHeroWeaponSlot] : 0;
    }
    const EquipContent *weapon = hero->GetEquippedItem(kHeroWeaponSlot);
    return weapon != nullptr ? static_cast<uint32_t>(weapon->equipId) : 0;
}

int32_t WeaponPictureIndex(uint32_t itemId)
{
    for (uint32_t first : kFirstWeapon) {
        if (itemId >= first && itemId < first + kWeaponStep * kHeroWeaponPictures && (itemId - first) % kWeaponStep == 0) {
            return static_cast<int32_t>((itemId - first) / kWeaponStep);
        }
    }
    return -1;
}

void HeroPicturePack::Start(int32_t hero)
{
    hero_ = hero == 0 ? 0 : 1;
    gaveUp_ = false;
    // The file opens at once; each update then reads a piece.
    stream_.Request(PackPath(hero_));
    stream_.Step();
    CheckFailure();
}

bool HeroPicturePack::Reading() const
{
    return stream_.GetState() == UIPackStream::kRequested || stream_.GetState() == UIPackStream::kReading;
}

void HeroPicturePack::CheckFailure()
{
    // The stream said why in its own debug line.
    if (stream_.Failed() && !gaveUp_) {
        gaveUp_ = true;
        stream_.Close();
    }
}

void HeroPicturePack::ReadPiece()
{
    if (Reading()) {
        stream_.Step();
        CheckFailure();
    }
}

void HeroPicturePack::FinishReading()
{
    stream_.Finish();
    CheckFailure();
}

void HeroPicturePack::LoadPictures()
{
    if (!stream_.Complete()) {
        return;
    }
    if (stream_.Buffer()->fileSize == 0) {
        DebugPrint("%s is empty: the hero's pictures are left out\n", stream_.Path().c_str());
        gaveUp_ = true;
    } else if (stream_.OpenPack()) {
        RwImageSetPath((std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\PAUSE\\").c_str());
        ReleasePictures();
        const std::string hero = hero_ == 0 ? "CHAR01" : "CHAR02";
        pictures_[0] = LoadTextureWithMask((hero + ".BMP").c_str(), (hero + "A.BMP").c_str());
        for (int i = 0; i < kHeroWeaponPictures; ++i) {
            const std::string weapon = std::to_string(kFirstWeapon[hero_] + kWeaponStep * static_cast<uint32_t>(i));
            pictures_[1 + i] = LoadTextureWithMask((weapon + ".BMP").c_str(), (weapon + "A.BMP").c_str());
        }
        stream_.CloseOpenedPack();
    }
    stream_.Close();
}

void HeroPicturePack::Close() { stream_.Close(); }

void HeroPicturePack::ReleasePictures()
{
    for (RwTexture *&picture : pictures_) {
        DestroyTexture(picture);
        picture = nullptr;
    }
}

void HeroPicturePack::Release()
{
    Close();
    ReleasePictures();
}

RwTexture *HeroPicturePack::WeaponPicture(uint32_t itemId) const
{
    const int32_t index = WeaponPictureIndex(itemId);
    return index >= 0 ? pictures_[1 + index] : nullptr;
}

void HeroPicturePack::Draw(int32_t hero, uint32_t weaponId, float xOffset, uint32_t argb) const
{
    const int32_t h = hero == 0 ? 0 : 1;
    DrawPlaced(Moved({kHeroScreen[h], kHeroSource}, xOffset), HeroPicture(), argb);
    // No weapon picture without one of the ten weapons in slot 2.
    if (RwTexture *weapon = WeaponPicture(weaponId)) {
        DrawPlaced(Moved(kWeapon[h], xOffset), weapon, argb);
        if (h == 1) {
            DrawPlaced(Moved(kSecondWeaponPart, xOffset), weapon, argb);
        }
    }
}
