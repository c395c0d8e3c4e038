// The general-effects pools' fixed facts (see ge_pool_facts.h).
#include "fx/ge_pool_facts.h"

namespace {


#define GE_PARTICLES(a, b, c) {a, b, c}

constexpr GePoolFacts kFacts[kGePoolCount] = {
    {kGeReward, "3406000", kGeAtPoint, kGeHoming, 64, 1, 0.0f, 3406000, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, false},
    {kGeStatusParticles, "StatusParticles", kGeFollowFrame, kGeUntilStopped, 12, 1, 0.0f, 0,
     GE_PARTICLES("3404600.ZUS", "3404601.ZUS", "3404602.ZUS"), -1, 0, 0, 0.0f, false},
    {kGeDizzy, "Dizzy", kGeFollowFrame, kGeUntilStopped, 8, 1, 0.0f, 0, GE_PARTICLES("3206800.ZUS", nullptr, nullptr), -1, 0, 0, 0.0f, false},
    {kGeDownHit, "DownHit", kGeAtPoint, kGeStill, 8, 1, 0.0f, 3405300, GE_PARTICLES("3400400.zus", nullptr, nullptr), 0, 0, 0, 1.0f, false},
    {kGe3206400, "3206400", kGeFollowFrame, kGeFollow, 4, 1, 0.0f, 3206400, GE_PARTICLES(nullptr, nullptr, nullptr), 0, 18, 0, 1.0f, false},
    {kGe3405400, "3405400", kGeOnRing, kGeStill, 12, 6, 8.0f, 0,
     GE_PARTICLES("3405401.ZUS", "3405402.ZUS", "3405403.ZUS"), -1, 0, 0, 2.0f, false},
    {kGe3507200, "3507200", kGeAtPoint, kGeStill, 8, 1, 0.0f, 3507200, GE_PARTICLES("3507200.ZUS", nullptr, nullptr), 0, 0, 0, 3.0f, false},
    {kGeBkShield, "BkShield", kGeAtPoint, kGeStill, 8, 1, 0.0f, 3218500, GE_PARTICLES(nullptr, nullptr, nullptr), 0, 4, 0, 1.5f, false},
    {kGeBarrelBomb, "BarrelBomb", kGeAtPoint, kGeBarrelBlast, 4, 1, 30.0f, 0, GE_PARTICLES("3400400.zus", "fire_l.zus", nullptr), -1, 0, 0, 1.0f, false},
    {kGeExplosion, "Explosion", kGeOnRing, kGeStill, 16, 8, 6.0f, 0, GE_PARTICLES("3400400.zus", nullptr, nullptr), -1, 0, 6500320, 1.0f, false},
    {kGeModelPool, "ModelPool", kGeAtPoint, kGeStill, 4, 1, 0.0f, 3405500, GE_PARTICLES(nullptr, nullptr, nullptr), 0, 21, 0, 1.0f, false},
    {kGePotion, "Potion", kGeAtPoint, kGeStill, 4, 1, 0.0f, 0, GE_PARTICLES("3404601.ZUS", nullptr, nullptr), -1, 0, 0, 1.0f, false},
    {kGeFlush, "Flush", kGeAtPoint, kGeStill, 2, 1, 0.0f, 0, GE_PARTICLES("3400400.zus", nullptr, nullptr), -1, 0, 0, 1.0f, false},
    {kGeSStarEff, "SStarEff", kGeAtPoint, kGeUntilStopped, 1, 1, 0.0f, 0, GE_PARTICLES("3206800.ZUS", nullptr, nullptr), -1, 0, 0, 0.0f, false},
    {kGeBigShot3209000, "3209000", kGeFromTo, kGeFly, 8, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotShockwave, "Shockwave", kGeAtPoint, kGeStill, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotTornado, "Tornado", kGeAtPoint, kGeStill, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShot3211200, "3211200", kGeFromTo, kGeFly, 4, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotVines, "Vines", kGeOnRing, kGeStill, 8, 8, 10.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 6240200, 0.0f, true},
    {kGeBigShotWingBall, "WingBall", kGeFromTo, kGeFly, 6, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotFrameSeq, "FrameSeq", kGeAtPoint, kGeStill, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShot3214400, "3214400", kGeFromTo, kGeFly, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotWings, "Wings", kGeAtPoint, kGeStill, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotBugs, "Bugs", kGeOnRing, kGeFly, 20, 10, 20.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 6240300, 0.0f, true},
    {kGeBigShot3216200, "3216200", kGeAtPoint, kGeStill, 1, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShot3213800, "3213800", kGeAtPoint, kGeStill, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotThreePart, "ThreePart", kGeOnRing, kGeStill, 6, 3, 15.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShot3215400, "3215400", kGeFromTo, kGeFly, 16, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotLitArrow, "LitArrow", kGeFromTo, kGeFly, 4, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotFallStone, "FallStone", kGeOnRing, kGeStill, 8, 8, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShot3219700, "3219700", kGeFollowFrame, kGeStill, 1, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShot3219200, "3219200", kGeAtPoint, kGeStill, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShotWave, "Wave", kGeFromTo, kGeFly, 2, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBigShot3218400, "3218400", kGeAtPoint, kGeStill, 4, 1, 0.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 0.0f, true},
    {kGeBoss1102Shot, "Boss1102Shot", kGeFromTo, kGeBallistic, 16, 8, 10.0f, 0, GE_PARTICLES(nullptr, nullptr, nullptr), -1, 0, 0, 3.0f, true},
};

#undef GE_PARTICLES

// Each row's values are ones its pool reads: a big shot takes its model,
// particles and look from its .BSH file, only pools that start on a ring
// (and the thrower's volley) place more than one instance a start, a
// motion is an index or -1 for none, and only a model moves or is tinted.
constexpr bool RowsHoldOnlyWhatTheirPoolsRead()
{
    for (const GePoolFacts &f : kFacts) {
        const bool anyParticles = f.particles[0] != nullptr || f.particles[1] != nullptr || f.particles[2] != nullptr;
        if (f.bigShot && (f.model != 0 || anyParticles || f.motion != -1 || f.matAnim != 0)) {
            return false;
        }
        const bool placesMany = f.placement == kGeOnRing || f.id == kGeBoss1102Shot;
        if (f.ring < 1 || (f.ring != 1 && !placesMany) || f.motion < -1) {
            return false;
        }
        // Without a model there is nothing to move or tint.
        if (f.model == 0 && (f.motion != -1 || f.matAnim != 0)) {
            return false;
        }
        // A start sound is a sound file's seven-digit id, or 0 for none.
        if (f.sound != 0 && (f.sound < 1000000 || f.sound > 9999999)) {
            return false;
        }
    }
    return true;
}
static_assert(RowsHoldOnlyWhatTheirPoolsRead(), "a row holds a value its pool never reads");

}  // namespace

const GePoolFacts &GeFacts(GePoolId id)
{
    static_assert(kFacts[kGeBoss1102Shot].id == kGeBoss1102Shot, "the table is in id order");
    return kFacts[id >= 0 && id < kGePoolCount ? id : 0];
}
