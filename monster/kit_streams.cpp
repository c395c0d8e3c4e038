// The body streams (see kit_streams.h).
#include "monster/kit_streams.h"

#include "fx/particle_system.h"
#include "monster/kit_combat.h"

namespace monster {

namespace {

constexpr const char *kBodyStream = "3206800.ZUS";
constexpr int32_t kNodeStreamA = 100160;
constexpr int32_t kNodeStreamB = 100150;

CSParticleSystem *StartStream(AiObject *actor, int32_t node)
{
    return actor->SpawnParticleAtFrame(kBodyStream, node, kFrameByUserId, kLeftWherePut, 0.0f, kAlongFrame,
                                       kPrtDrawAfterWorld, kPrtFollowEmitter);
}

}  // namespace

void StartBodyStreams(AiObject *actor, const BodyStreamWords &words)
{
    if (actor->Clump() == nullptr) {
        return;
    }
    if (!*words.aStarted && (*words.a = StartStream(actor, kNodeStreamA)) != nullptr) {
        *words.aStarted = true;
    }
    if (!*words.bStarted && (*words.b = StartStream(actor, kNodeStreamB)) != nullptr) {
        *words.bStarted = true;
    }
}

void LetGoBodyStreams(const BodyStreamWords &words)
{
    LetGoOfSystem(words.a);
    LetGoOfSystem(words.b);
}

void ForgetBodyStreams(const BodyStreamWords &words)
{
    LetGoBodyStreams(words);
    *words.aStarted = false;
    *words.bStarted = false;
}

void RestartBodyStreams(AiObject *actor, const BodyStreamWords &words)
{
    if (actor->model == nullptr) {
        return;
    }
    LetGoBodyStreams(words);
    *words.a = StartStream(actor, kNodeStreamA);
    *words.b = StartStream(actor, kNodeStreamB);
}

void ReleaseBodyStreams(const BodyStreamWords &words)
{
    GiveBackSystemNow(words.a);
    GiveBackSystemNow(words.b);
}

}  // namespace monster
