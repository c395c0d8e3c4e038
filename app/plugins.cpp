// The game's plug-in list (see plugins.h).
#include "app/plugins.h"

#include "rpcollis.h"
#include "rpdmorph.h"
#include "rphanim.h"
#include "rpltmap.h"
#include "rpmatfx.h"
#include "rpmorph.h"
#include "rppatch.h"
#include "rpprtstd.h"
#include "rpptank.h"
#include "rppvs.h"
#include "rpskin.h"
#include "rpusrdat.h"
#include "rpworld.h"
#include "rtanim.h"

namespace game {

namespace {

// Extension offsets and stream chunk order follow attach order, so the
// order is kept as it is rather than sorted or grouped.
constexpr RwBool (*kAttachOrder[])(void) = {
    RpWorldPluginAttach,
    RpCollisionPluginAttach,
    RtAnimToolkitInitialize,
    RpHAnimPluginAttach,
    RpUserDataPluginAttach,
    RpSkinPluginAttach,
    RpPTankPluginAttach,
    RpPrtStdPluginAttach,
    RpPVSPluginAttach,
    RpLightMapPluginAttach,
    RpMatFXPluginAttach,
    RpMorphPluginAttach,
    RpPatchPluginAttach,
    RpDeltaMorphPluginAttach,
};

}  // namespace

bool AttachPlugins()
{
    for (RwBool (*attach)(void) : kAttachOrder) {
        if (!attach()) {
            return false;
        }
    }
    return true;
}

}  // namespace game
