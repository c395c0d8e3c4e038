// The result screens' hero pictures (see hero_picture_pack.h).
#include "ui/hero_picture_pack.h"

#include <algorithm>
#include <string>

#include "app/debug.h"
#include "app/pack.h"
#include "app/rawfile.h"
#include "actor/hero.h"
#include "actor/item_records.h"
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
    Close();
    hero_ = hero == 0 ? 0 : 1;
    ready_ = false;
    gaveUp_ = false;
    bytesRead_ = 0;
    const std::string path = zuFoundPackPath(PackPath(hero_).c_str());
    file_ = RawFileOpen(path.c_str());
    if (file_ == nullptr) {
        GiveUp("cannot be opened");
        return;
    }
    buffer_ = RawFileBufferCreate(file_);
    if (buffer_ == nullptr) {
        GiveUp("has no size that can be read");
        return;
    }
    reading_ = true;
}

void HeroPicturePack::GiveUp(const char *why)
{
    DebugPrint("%s %s: the hero's pictures are left out\n", PackPath(hero_).c_str(), why);
    Close();
    gaveUp_ = true;
}

bool HeroPicturePack::ReadNext()
{
    const uint32_t want = std::min(kRawFileBlock, buffer_->fileSize - bytesRead_);
    uint32_t got = 0;
    if (!RawFileRead(file_, buffer_->buffer + bytesRead_, want, &got) || got == 0) {
        GiveUp(got == 0 ? "ends before its size" : "cannot be read");
        return false;
    }
    bytesRead_ += got;
    if (bytesRead_ >= buffer_->fileSize) {
        RawFileClose(file_);
        file_ = nullptr;
        reading_ = false;
        ready_ = true;
    }
    return true;
}

void HeroPicturePack::ReadPiece()
{
    if (reading_) {
        ReadNext();
    }
}

void HeroPicturePack::FinishReading()
{
    // Every read brings bytes or gives up, so this ends.
    while (reading_ && ReadNext()) {
    }
}

bool HeroPicturePack::LoadPictures()
{
    if (!ready_) {
        return false;
    }
    ready_ = false;
    const std::string path = PackPath(hero_);
    if (zuOpenPackMemory(path.c_str(), buffer_)) {
        RwImageSetPath((std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\PAUSE\\").c_str());
        ReleasePictures();
        const std::string hero = hero_ == 0 ? "CHAR01" : "CHAR02";
        pictures_[0] = LoadTextureWithMask((hero + ".BMP").c_str(), (hero + "A.BMP").c_str());
        for (int i = 0; i < kHeroWeaponPictures; ++i) {
            const std::string weapon = std::to_string(kFirstWeapon[hero_] + kWeaponStep * static_cast<uint32_t>(i));
            pictures_[1 + i] = LoadTextureWithMask((weapon + ".BMP").c_str(), (weapon + "A.BMP").c_str());
        }
        zuClosePackMemory(buffer_);
    }
    RawFileBufferFree(buffer_);
    buffer_ = nullptr;
    return true;
}

void HeroPicturePack::Close()
{
    RawFileClose(file_);
    file_ = nullptr;
    RawFileBufferFree(buffer_);
    buffer_ = nullptr;
    reading_ = false;
    ready_ = false;
}

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
