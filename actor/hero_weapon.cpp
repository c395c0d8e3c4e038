// The hero's attached weapon and equipment aura (see hero.h). The weapon's
// model hangs on a frame of the hero's skeleton, so it follows the hand
// through every motion; the stage draws it with the hero. The aura is a
// particle system of the stage's particle manager on the body frame.
#include <cstdio>
#include <string>

#include "actor/hero.h"
#include "actor/item_records.h"
#include "app/debug.h"
#include "app/file.h"
#include "app/game_system.h"
#include "fx/particle_system.h"
#include "stage/character_params.h"
#include "stage/model_template.h"
#include "stage/stage_clumps.h"

namespace {

constexpr const char *kWeaponFolder = "\\RESOURCE\\MAINCHAR\\WEAPON\\";
// The body frame (user-property id) the aura sits on.
constexpr int32_t kAuraFrame = 100020;
constexpr int32_t kLookupByUserId = 1;

std::string WeaponModelPath(int32_t itemId)
{
    return std::string(kWeaponFolder) + std::to_string(itemId) + ".DFF";
}

}  // namespace

void CSHero::AttachWeapon()
{
    const EquipContent *weapon = equipped[kHeroWeaponSlot];
    const int32_t wanted = weapon != nullptr ? weapon->equipId : kNoWeaponModel;
    if (wanted == weaponModelId) {
        return;  // already shown, or already found missing
    }
    DetachWeapon();
    const CharacterParams *params = Params();
    if (wanted == kNoWeaponModel || model == nullptr || params == nullptr) {
        return;  // tried again once the hero has its model
    }
    weaponModelId = wanted;
    RwFrame *hand = params->weaponIds.empty() ? nullptr : model->GetTaggedFrame(params->weaponIds.front());
    const std::string path = WeaponModelPath(wanted);
    if (hand == nullptr) {
        DebugPrint("%s: the weapon cannot be shown on the hero\n", path.c_str());
        return;
    }
    // Opened quietly: a missing model gives a diagnostic line; a folder,
    // an unreadable file or one that holds no model is named with why.
    RpClump *clump = LoadClumpFile(path.c_str(), kWeaponFolder);
    if (clump == nullptr) {
        DebugPrint("%s: the weapon cannot be shown on the hero\n", path.c_str());
        return;
    }
    RwFrameAddChild(hand, RpClumpGetFrame(clump));
    weaponClump = clump;
}

void CSHero::DetachWeapon()
{
    weaponModelId = kNoWeaponModel;
    if (weaponClump == nullptr) {
        return;
    }
    RwFrameRemoveChild(RpClumpGetFrame(weaponClump));  // off the hand
    DestroyStageClump(weaponClump);
    weaponClump = nullptr;
}

void CSHero::RefreshAura()
{
    const char *wanted = nullptr;
    for (const EquipContent *record : equipped) {
        if (record != nullptr && record->aura[0] != '\0') {
            wanted = record->aura;
            break;
        }
    }
    if (wanted != nullptr && wanted == equipAuraName && equipAura != nullptr) {
        return;
    }
    StopAura();
    if (wanted == nullptr) {
        return;
    }
    // Without a model or the stage's particle manager nothing starts; the
    // next recomputing (a stage load among them) tries again.
    equipAura = SpawnParticleAtFrame(wanted, kAuraFrame, kLookupByUserId, 1, 0.0f, 0, 0, 0);
    equipAuraName = equipAura != nullptr ? wanted : nullptr;
}

void CSHero::StopAura()
{
    if (equipAura != nullptr) {
        equipAura->Release();
    }
    equipAura = nullptr;
    equipAuraName = nullptr;
}

void CSHero::LeaveStage()
{
    StopAura();
    if (weaponClump != nullptr && RpClumpGetWorld(weaponClump) != nullptr) {
        RpWorldRemoveClump(RpClumpGetWorld(weaponClump), weaponClump);
    }
    hitMarkCount = 0;
    for (AiObject *&mark : hitMarks) {
        mark = nullptr;
    }
}

void CSHero::EnterStage() { RecomputeEquipment(); }

void CSHero::ReleaseHero()
{
    StopAura();
    DetachWeapon();
    Release();
}
