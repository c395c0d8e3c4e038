// The fixed facts of every pool of the general-effects manager, one table
// in the code: how many instances, how an instance is placed (at a point,
// from one point to another, on a ring, following a frame), the ring, the
// model \RESOURCE\FX\<id>\<id>.DFF, the particle files, the motion and
// material animation its model plays, its sound, its life and what it does
// each frame. The bosses' big shots take look, life, reach and damage from
// their .BSH files instead (\RESOURCE\BIGSHOT\<name>.BSH).
#pragma once

#include <cstdint>

enum GePoolId : int32_t {
    kGeReward,          // CSGe3406000
    kGeStatusParticles, // CSGeStatusParticles
    kGeDizzy,           // CSGeDizzy
    kGeDownHit,         // CSGeDownHit
    kGe3206400,         // CSGe3206400
    kGe3405400,         // CSGe3405400
    kGe3507200,         // CSEffect3507200
    kGeBkShield,        // CSGeBkShield
    kGeBarrelBomb,      // CSGeBarrelBomb
    kGeExplosion,       // CSGeExplosion
    kGeModelPool,       // CSGeModelPool
    kGePotion,          // CSGePotion
    kGeFlush,           // CSGeFlush
    kGeSStarEff,        // CSGeSStarEff
    kGeBigShot3209000,  // CSBigShot3209000 ... the bosses' big shots
    kGeBigShotShockwave,
    kGeBigShotTornado,
    kGeBigShot3211200,
    kGeBigShotVines,
    kGeBigShotWingBall,
    kGeBigShotFrameSeq,
    kGeBigShot3214400,
    kGeBigShotWings,
    kGeBigShotBugs,
    kGeBigShot3216200,
    kGeBigShot3213800,
    kGeBigShotThreePart,
    kGeBigShot3215400,
    kGeBigShotLitArrow,
    kGeBigShotFallStone,
    kGeBigShot3219700,
    kGeBigShot3219200,
    kGeBigShotWave,
    kGeBigShot3218400,
    kGeBoss1102Shot,    // CSBoss1102ShotPool
    kGePoolCount
};

// How an instance is placed.
enum GePlacement : uint8_t {
    kGeAtPoint,
    kGeFromTo,
    kGeOnRing,
    kGeFollowFrame,
};

// What an instance does each frame besides living out its life.
enum GeBehaviour : uint8_t {
    kGeStill,       // stays where it was started
    kGeHoming,      // a reward piece: springs out, then flies to the nearest hero
    kGeFollow,      // keeps to its frame or owner
    kGeFly,         // moves from its start toward its end
    kGeBallistic,   // a thrown projectile under gravity
    kGeBarrelBlast, // hits everything near once at its start
    kGeUntilStopped // lives until its owner stops it
};

struct GePoolFacts {
    GePoolId id;
    const char *name;        // the pool's name in traces and its .BSH file name
    GePlacement placement;
    GeBehaviour behaviour;
    int16_t count;           // instances
    int16_t ring;            // instances one start places on its ring (1: none)
    float ringRadius;
    int32_t model;           // \RESOURCE\FX\<id>\<id>.DFF; 0: none (big shots: their .BSH names it)
    const char *particles[3];
    int32_t motion;          // motion its model plays from its start (-1: none)
    int32_t matAnim;         // material animation its model plays (0: none)
    int32_t sound;           // played at each start (0: none)
    float life;              // seconds; 0: until stopped
    bool bigShot;            // takes its look and hit from its .BSH
};

const GePoolFacts &GeFacts(GePoolId id);
