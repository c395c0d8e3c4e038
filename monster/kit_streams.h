// Two particle streams a monster carries on its body for as long as it has
// a model ("3206800.ZUS" on the nodes 100160 and 100150): started on the
// first act with a model, let go of when the model goes or the monster
// dies, started again by event code. The words that hold them are the
// type's own (its class names them); the kit works on them through
// BodyStreamWords.
#pragma once

#include <cstdint>

#include "monster/kit_common.h"

namespace monster {

struct BodyStreamWords {
    CSParticleSystem **a;  // on node 100160
    CSParticleSystem **b;  // on node 100150
    bool *aStarted;
    bool *bStarted;
};

// With a model, starts each stream not yet started (its flag set once it
// exists).
void StartBodyStreams(AiObject *actor, const BodyStreamWords &words);
// Stops both streams, which fade out and go back to their pool, and
// forgets them (the started flags are left alone).
void LetGoBodyStreams(const BodyStreamWords &words);
// The same with the started flags cleared, so that the next act with a
// model starts them again.
void ForgetBodyStreams(const BodyStreamWords &words);
// Event code's restart: with a model, both streams let go of and started
// again at once (the started flags are left alone).
void RestartBodyStreams(AiObject *actor, const BodyStreamWords &words);
// The stage goes, and the frames the streams follow with it: both go back
// to their pool at once.
void ReleaseBodyStreams(const BodyStreamWords &words);

}  // namespace monster
