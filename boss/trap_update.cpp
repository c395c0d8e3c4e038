// The traps' update and release by AI type (see trap.h).
#include "boss/trap.h"

#include "fx/particle_system.h"

void UpdateTrap(AiObject *actor, float dt)
{
    switch (actor->aiType) {
    case 1200:
        CSTrap1200::Update(actor, dt);
        break;
    case 1201:
        CSTrap1201::Update(actor, dt);
        break;
    case 1202:
        CSTrap1202::Update(actor, dt);
        break;
    case 1203:
        CSTrap1203::Update(actor, dt);
        break;
    case 1204:
        CSTrap1204::Update(actor, dt);
        break;
    case 1205:
        CSTrap1205::Update(actor, dt);
        break;
    default:
        break;
    }
}

namespace {

template <size_t N>
void ReleaseJets(CSParticleSystem *(&jets)[N])
{
    for (CSParticleSystem *&jet : jets) {
        if (jet != nullptr) {
            jet->Release();
            jet = nullptr;
        }
    }
}

}  // namespace

void ReleaseTrap(AiObject *actor)
{
    // The stage goes, and the frames the jets follow with it: they go back
    // to their pool at once.
    switch (actor->aiType) {
    case 1200:
    case 1205: {
        auto *self = static_cast<CSTrap1200 *>(actor);
        ReleaseJets(self->jets);
        break;
    }
    case 1203: {
        auto *self = static_cast<CSTrap1203 *>(actor);
        ReleaseJets(self->jets);
        break;
    }
    default:
        break;
    }
    actor->Release();
}
