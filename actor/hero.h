// CSHero: the hero record, an actor with what the heroes keep beside the
// AiObject words. Other actors, the events and the screens read and set
// these fields; the hero's own operations and behaviour live with the
// heroes. The hero state numbers that other code tests are fixed here.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

struct EquipContent;
class CSParticleSystem;

// Hero states that other code reads.
inline constexpr int32_t kHeroStateKnockedDown = 4;  // CSHero::IsInState4
inline constexpr int32_t kHeroStateGettingUp = 5;    // the state-5 flag
inline constexpr int32_t kHeroStateHurt = 21;
inline constexpr int32_t kHeroStateHeld = 22;
inline constexpr int32_t kHeroStateDying = 23;
inline constexpr int32_t kHeroStateAttackFirst = 40;  // the attacking flag: states 40..84
inline constexpr int32_t kHeroStateAttackLast = 84;

inline constexpr int kHeroEquipSlots = 3;
inline constexpr int kHeroAbilityFlags = 9;

class CSHero : public AiObject {
public:
    // ---- state flags others read (the removed, active, busy, hurtable,
    // guarding and grabbable words are the AiObject's) ----
    bool held = false;       // seized by a monster (state 22); cleared by the hero side
    bool state5 = false;     // stands in state 5
    bool attacking = false;  // its update sets it in states 40 to 84
    bool grabMove = false;   // in its own grab move
    bool burnEffect = false;
    bool poisonTint = false;
    bool defeated = false;   // set once the dying motion has ended

    // ---- player ----
    int32_t characterNumber = 0;  // which hero
    int32_t padIndex = 0;

    // ---- progress ----
    int32_t power = 0;
    int32_t money = 0;
    int32_t stageMoney = 0;  // picked up in the running stage, paid out when it ends
    int32_t experience = 0;  // bosses add their Exp
    int32_t killCount = 0;   // one per kill credited to the hero
    int32_t hitCounter = 0;  // the running hit counter: the reward multiplier
    int32_t bestHitCounter = 0;
    float hitCounterTimer = 0.0f;  // time since the last landed hit
    int32_t hpLevel = 0;
    int32_t powerLevel = 0;
    uint8_t abilityFlags[kHeroAbilityFlags] = {1, 1, 1, 0, 0, 0, 0, 0, 0};

    // ---- equipment ----
    const EquipContent *equipped[kHeroEquipSlots] = {nullptr, nullptr, nullptr};
    bool equipmentDirty = false;  // recompute before the next use
    int32_t equipHpBonus = 0;
    int32_t equipAttackBonus = 0;
    int32_t equipDefenseBonus = 0;
    int32_t weaponProp[2] = {0, 0};
    bool superPower = false;
    CSParticleSystem *equipAura = nullptr;

    bool IsInState4() const { return state == kHeroStateKnockedDown; }
};

// The three state flags of a hero that the sensing skips as a target.
inline bool HeroStateBlocksSensing(const CSHero &hero)
{
    return hero.held || hero.state5 || hero.attacking;
}
