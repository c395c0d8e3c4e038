// The hero's pictures of the result screens: the pack "\PACK\UI1\RANKPIC1"
// (hero 0) or RANKPIC2 (hero 1), streamed from disc one 32768-byte read
// per update into a buffer and opened from memory once whole, holding the
// hero picture (CHAR01 or CHAR02) and the five weapon pictures of that
// hero (5100160..5100200 or 5100210..5100250), each with its mask.
//
// The reading is the screens' pack stream (pack_stream.h). A pack that
// cannot be opened, a read that fails or brings nothing before the file is
// whole, and an empty file give up the pictures with one debug line: the
// screen goes on without them (they draw untextured). Finishing at once
// reads what is left in as many reads as it takes, each of which must
// bring bytes, so it always ends.
#pragma once

#include <cstdint>

#include "ui/pack_stream.h"

struct RwTexture;

inline constexpr int kHeroWeaponPictures = 5;

// The item worn in the first hero's equipment slot 2 (the hero block's
// when the stage has no hero); 0 for none.
uint32_t WornWeaponId();

// The weapon picture (0..4) of the item worn in equipment slot 2: either
// hero's five weapons in order; -1 for any other id (no weapon picture).
int32_t WeaponPictureIndex(uint32_t itemId);

class HeroPicturePack {
public:
    HeroPicturePack() = default;
    ~HeroPicturePack() { Release(); }
    HeroPicturePack(const HeroPicturePack &) = delete;
    HeroPicturePack &operator=(const HeroPicturePack &) = delete;

    // Opens hero `hero`'s pack (0, else 1) and makes its buffer.
    void Start(int32_t hero);
    // One read of the next piece while reading.
    void ReadPiece();
    // Reads what is left at once.
    void FinishReading();
    // Once the whole pack is read: opens it from memory, reads the
    // pictures and frees the buffer; before that, nothing.
    void LoadPictures();
    // Closes the file and frees the buffer (the pictures stay).
    void Close();
    void ReleasePictures();
    void Release();

    bool Reading() const;
    bool Ready() const { return stream_.Complete(); }
    bool GaveUp() const { return gaveUp_; }
    uint32_t BytesRead() const { return stream_.BytesRead(); }
    int32_t Hero() const { return hero_; }
    RwTexture *HeroPicture() const { return pictures_[0]; }
    // The weapon picture of the item in slot 2; null for none.
    RwTexture *WeaponPicture(uint32_t itemId) const;
    // The hero picture of hero `hero` (0 or 1) with the weapon picture of
    // `weaponId` (none when it is not one of the ten weapons), at the
    // ranking's places moved `xOffset` to the right.
    void Draw(int32_t hero, uint32_t weaponId, float xOffset, uint32_t argb) const;

private:
    // Notes a failed stream once.
    void CheckFailure();

    UIPackStream stream_;
    bool gaveUp_ = false;
    int32_t hero_ = 0;
    RwTexture *pictures_[1 + kHeroWeaponPictures] = {};
};
