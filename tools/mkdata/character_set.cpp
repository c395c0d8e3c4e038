// A character type's files beside its model (see character_set.h).
#include "tools/mkdata/character_set.h"

#include "tools/mkdata/character_model.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/stage_files.h"

namespace mkdata {

bool WriteCharacterSet(const std::string &base, RtAnimAnimation *animation, const MotionTable &motions,
                       const CharacterParams &params, const CFSF &fsf)
{
    const bool ok = animation != nullptr && WriteCharacterAnimation(animation, base + ".ANM");
    if (animation != nullptr) {
        RtAnimAnimationDestroy(animation);
    }
    return ok && WriteMotionFile(base + ".AMF", motions) && WriteCharacterParamsFile(base + ".PAF", params) &&
           WriteStateMachineFile(base + ".FSF", fsf);
}

}  // namespace mkdata
