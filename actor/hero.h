// CSHero: the hero record, an actor with what the heroes keep beside the
// AiObject words. Other actors, the events and the screens read and set
// these fields. Its operations: levels, life, power and money with their
// caps, ability flags and equipment (hero.cpp); the attached weapon and the
// equipment aura (hero_weapon.cpp); its update, run by the stage's hero
// step (hero_update.cpp), with its hits given and taken (hero_combat.cpp)
// and the pick-up of drops (hero_pickup.cpp). The hero state numbers that
// other code tests are fixed here.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

struct EquipContent;
class CSParticleSystem;
class CSStageManager;

// Hero states that other code reads.
inline constexpr int32_t kHeroStateKnockedDown = 4;  // CSHero::IsInState4
inline constexpr int32_t kHeroStateGettingUp = 5;    // the state-5 flag
inline constexpr int32_t kHeroStateHurt = 21;
inline constexpr int32_t kHeroStateHeld = 22;
inline constexpr int32_t kHeroStateDying = 23;
inline constexpr int32_t kHeroStateAttackFirst = 40;  // the attacking flag: states 40..84
inline constexpr int32_t kHeroStateAttackLast = 84;
// The hero's own states beside them.
inline constexpr int32_t kHeroStateStand = 0;
inline constexpr int32_t kHeroStateMove = 1;
inline constexpr int32_t kHeroStateGuard = 30;

// Inputs the hero's update feeds its state machine. Reactions to hits
// (hurt 21, knocked down 4, held 22, dying 23) put the hero into those
// states at once; the inputs of play go through the .FSF.
inline constexpr int32_t kHeroInputStand = 0;
inline constexpr int32_t kHeroInputMove = 1;
inline constexpr int32_t kHeroInputGuard = 30;
inline constexpr int32_t kHeroInputAttack = 40;  // from an attack state N, N + 1 chains on

// Caps of the levels, by hero AI type.
inline constexpr int32_t kHeroHpLevelCap[2] = {5, 4};
inline constexpr int32_t kHeroPowerLevelCap[2] = {3, 5};
inline constexpr int32_t kHpPerLevel = 500;
inline constexpr int32_t kPowerPerLevel = 100;
inline constexpr int32_t kHeroMoneyMax = 999999;
inline constexpr int32_t kSuperPowerAttackBonus = 999999;
// The equipment slots: 0 and 1 armour, 2 the weapon.
inline constexpr int32_t kHeroWeaponSlot = 2;
// Ability flags a caller may read and set; 0..2 are always 1.
inline constexpr int32_t kFirstOpenAbilityFlag = 3;
// The weapon each hero starts with in slot 2, by hero AI type.
inline constexpr int32_t kHeroStartWeapon[2] = {5100160, 5100210};
// Actors one attack state entry can hit.
inline constexpr int kHeroHitMarks = 32;
// The weapon model's item id while the hero shows none.
inline constexpr int32_t kNoWeaponModel = 0;

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
    int32_t weaponProp[2] = {0, 0};  // the weapon's property values
    int32_t armourProp[2] = {0, 0};  // the armour's property flags (their values summed)
    bool superPower = false;
    CSParticleSystem *equipAura = nullptr;
    const char *equipAuraName = nullptr;  // the record's name the aura was started from
    RpClump *weaponClump = nullptr;  // the slot-2 weapon's model on the hero's weapon frame
    int32_t weaponModelId = kNoWeaponModel;  // the item its model shows (or failed to)

    // ---- the update's own words ----
    AiObject *hitMarks[kHeroHitMarks] = {};  // actors this attack state entry has hit
    int32_t hitMarkCount = 0;
    bool comboQueued = false;  // square pressed during an attack: the chain goes on
    float burnEffectTimer = 0.0f;
    float poisonTintTimer = 0.0f;
    RwV3d moveDirection = {0.0f, 0.0f, 0.0f};  // the pad's wish this frame, on the ground

    bool IsInState4() const { return state == kHeroStateKnockedDown; }

    // ---- levels, life, power and money (hero.cpp) ----
    // HP level x 500 + the .PAF MaxHP + the equipment's life bonus.
    int32_t GetMaxHP();
    // Power level x 100 + the .PAF MaxPower.
    int32_t GetMaxPower() const;
    // Stored when 0..the cap of the hero type (HP: 5 and 4; power: 3 and 5).
    bool SetHPLevel(int32_t level);
    bool SetPowerLevel(int32_t level);
    // Money = value, kept within 0..999999.
    void SetMoney(int32_t value);
    // Life or power + amount, kept within 0..the maximum.
    void AddHP(int32_t amount);
    void AddPower(int32_t amount);
    // On: the attack bonus becomes 999999; off: the equipment's again.
    void SetSuperPower(bool on);
    // Ability flags 3..8 (0 for other indices; setting them is ignored).
    int32_t GetAbilityFlag(int32_t index) const;
    void SetAbilityFlag(int32_t index, int32_t value);

    // ---- equipment (hero.cpp) ----
    // The record worn in slot 0..2, null when empty or for another slot.
    const EquipContent *GetEquippedItem(int32_t slot) const;
    // Stores the record in slot 0..2 and marks the equipment for
    // recomputing; false (nothing changed) for null or another slot.
    bool EquipItem(const EquipContent *record, int32_t slot);
    // Empties slot 0..2 (a weapon's model comes off); 1 for those slots,
    // 0 for others.
    int32_t UnequipSlot(int32_t slot);
    // Sums the worn records into the equipment values: a weapon's Prop1 and
    // Prop2 into the weapon property values (Prop1 is the attack bonus),
    // armour's into the armour property values (Prop1 the defence bonus,
    // Prop2 the life bonus); starts or stops the aura and puts on or takes
    // off the weapon's model.
    void RecomputeEquipment();
    int32_t GetAttackBonus();
    // The .PAF Defense plus the equipment's defence bonus.
    int32_t GetDefense();

    // ---- the attached weapon and the aura (hero_weapon.cpp) ----
    // Puts the slot-2 weapon's model \RESOURCE\MAINCHAR\WEAPON\<id>.DFF on
    // the frame the .PAF's first WeaponID names; a missing model or frame
    // leaves the weapon unseen.
    void AttachWeapon();
    void DetachWeapon();
    // The aura the first worn record with an Aura: names, on frame 100020.
    void RefreshAura();
    void StopAura();
    // The hero leaves the running stage (its world and particle systems go):
    // the weapon's model out of the world, the aura given back.
    void LeaveStage();
    // At a stage load, once placed: the weapon's model and the aura again.
    void EnterStage();

    // ---- the update (hero_update.cpp) ----
    // One frame of `dt` seconds (scaled by the game speed) in `stage`.
    void UpdateHero(CSStageManager *stage, float dt);
    // Makes `id` the current state: its motion from the start, its flags,
    // the hit marks and the queued chain cleared.
    void EnterState(int32_t id);
    // The hero's place in the stage's hero list (its player slot), -1 when not listed.
    int32_t PlayerSlot(const CSStageManager &stage) const;
    // Gives the model, weapon and aura back: the AI type's release.
    void ReleaseHero();

    // ---- hits (hero_combat.cpp) ----
    // A kind-2 hit {0, attribute, damage} from `sender`.
    void TakeHit(AiObject *sender, int32_t attribute, int32_t damage);
    // A reaction (an input naming the state it leads to) through the state
    // machine's transition from the current state; dying, being held and
    // being let go (input 0) are entered even where it has none.
    void React(int32_t reaction);
    // The attack state's weapon parts against the stage's actors: each hit
    // (once per actor per state entry) posts a kind-1 message and raises
    // the hit counter.
    void StrikeWithWeapons(CSStageManager *stage);
    // A landed hit: the running counter up, its timer restarted, the best kept.
    void CountLandedHit();
    // Clears the hit counter after 3 s without a hit and the burn and poison
    // looks after 5 s.
    void StepHitAndStatusTimers(float dt);

    // ---- pick-up (hero_pickup.cpp) ----
    // Drops of the stage's effects pool within Radius + 5: the number taken.
    int32_t PickUpDrops(CSStageManager *stage);
};

// The AI-type table's columns of the heroes (types 0 and 1).
void HeroTypeUpdate(AiObject *actor, float dt);
void HeroTypeRelease(AiObject *actor);

// The stage's hero step: each hero of the hero list through its AI type's
// update, with `dt` already scaled by the game speed. Nothing while the
// stage's actor-update switch is 0.
void RunHeroStep(CSStageManager *stage, float dt);

// The three state flags of a hero in which the sensing does not test it
// as an actor's target (its last bits stand).
inline bool HeroStateBlocksSensing(const CSHero &hero)
{
    return hero.held || hero.state5 || hero.attacking;
}
