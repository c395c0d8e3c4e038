// The screen manager's shared textures and the tables cut from them.
// Every interface pack is "<data root>\PACK\UI0\<name>" with its .LST and
// .STR; pictures "X.BMP" come with their alpha picture "XA.BMP" from the
// language's folder (CHI for language 0, ENG for the others) where they
// have one. A picture that is missing leaves its word null and draws
// untextured.
#include <string>

#include "app/game_system.h"
#include "app/pack.h"
#include "app/textures.h"
#include "ui/ui_manager.h"

namespace {

void SetPath(const char *folder) { RwImageSetPath((std::string(UIDataRoot()) + folder).c_str()); }

void ReadMasked(RwTexture **word, const char *name)
{
    if (*word == nullptr) {
        *word = LoadTextureWithMask(name, nullptr);
    }
}

}  // namespace

bool CSUIManager::OpenInterfacePack(const char *name, const RawFileBuffer *memory)
{
    const std::string path = std::string(UIDataRoot()) + "\\PACK\\UI0\\" + name + ".STR";
    PackOpenHook();
    return memory != nullptr ? zuOpenPackMemory(path.c_str(), memory) : zuOpenPack(path.c_str());
}

void CSUIManager::LoadCommonTextures()
{
    const bool packed = OpenInterfacePack("COMMON");
    SetPath((std::string("\\RESOURCE\\UITEXT\\PLAYERUI") + UILanguageFolder()).c_str());
    ReadMasked(&playerArt_, "PLAYER.BMP");
    SetPath((std::string("\\RESOURCE\\UITEXT\\PAUSE") + UILanguageFolder()).c_str());
    ReadMasked(&wordArt_, "WORD.BMP");
    SetPath("\\RESOURCE\\UITEXT\\PAUSE\\");
    if (baseMap_ == nullptr) {
        baseMap_ = ReadTextureWithoutMask("BASEMAP.BMP");
    }
    LoadEquipArt();
    CreateEquipArt();
    CreateWeaponIcons();
    CreateKeyPrompts();
    InitShadePanel();
    CreateSmallDigits();
    CreateLargeDigits();
    CreateMediumDigits();
    if (packed) {
        zuClosePack();
    }
    // The message box cuts its frame from the same art.
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->messageBox.SetFrameTexture(playerArt_);
    }
}

void CSUIManager::LoadEquipArt()
{
    SetPath("\\RESOURCE\\UITEXT\\PAUSE\\");
    ReadMasked(&equipArtTexture_, "EQUIP.BMP");
}

void CSUIManager::CreateEquipArt()
{
    if (equipArt_.empty()) {
        equipArt_ = MakeEquipArt(equipArtTexture_);
    }
}

void CSUIManager::CreateWeaponIcons()
{
    if (weaponIcons_.empty()) {
        weaponIcons_ = MakeWeaponIcons(equipArtTexture_);
    }
}

void CSUIManager::CreateSmallDigits()
{
    if (smallDigits_.empty()) {
        smallDigits_ = MakeSmallDigits(playerArt_);
    }
}

void CSUIManager::CreateLargeDigits()
{
    if (largeDigits_.empty()) {
        largeDigits_ = MakeLargeDigits(playerArt_);
    }
}

void CSUIManager::CreateMediumDigits()
{
    if (mediumDigits_.empty()) {
        mediumDigits_ = MakeMediumDigits(playerArt_);
    }
}

void CSUIManager::LoadLobbyTextures(const RawFileBuffer *memory)
{
    if (lobbyArt_ != nullptr) {
        return;
    }
    const bool packed = OpenInterfacePack("LOBBY", memory);
    SetPath("\\RESOURCE\\UITEXT\\PAUSE\\");
    ReadMasked(&mapBase_, "MAPBASE.BMP");
    SetPath((std::string("\\RESOURCE\\UITEXT\\PAUSE") + UILanguageFolder()).c_str());
    ReadMasked(&lobbyArt_, "LOBBY.BMP");
    if (packed) {
        if (memory != nullptr) {
            zuClosePackMemory(memory);
        } else {
            zuClosePack();
        }
    }
}

void CSUIManager::ReleaseLobbyTextures()
{
    DestroyTexture(mapBase_);
    DestroyTexture(lobbyArt_);
    mapBase_ = nullptr;
    lobbyArt_ = nullptr;
}
