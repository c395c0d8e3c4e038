// The default lighting callbacks of the world pipelines: which of the
// current world's lights reach one atomic or one world sector, sent to the
// device as one pass.
#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwengine.h"

namespace {

struct LocalPass {
    const RwSphere *sphere;  // null: no distance test (world sectors)
    RwUInt8 flag;
    RwBool lit;
};

// Sends every light tied to the sector that this pass has not visited yet.
void SendSectorLights(RpWorldSector *sector, LocalPass *pass)
{
    RwLinkList *list = &sector->lightsInWorldSector;
    for (RwLLLink *link = RwLinkListGetFirstLLLink(list); link != RwLinkListGetTerminator(list);
         link = RwLLLinkGetNext(link)) {
        RpLight *light = RwLLLinkGetData(link, RpLightTie, lightInWorldSector)->light;
        if (light->lightFrame == RwEngineInst->lightFrame || !(RpLightGetFlags(light) & pass->flag)) {
            continue;
        }
        light->lightFrame = RwEngineInst->lightFrame;
        if (pass->sphere != nullptr) {
            const RwV3d &p = RwFrameGetLTM(RpLightGetFrame(light))->pos;
            const RwV3d &c = pass->sphere->center;
            const RwReal dx = p.x - c.x, dy = p.y - c.y, dz = p.z - c.z;
            const RwReal reach = light->radius + pass->sphere->radius;
            if (reach * reach <= dx * dx + dy * dy + dz * dz) {
                continue;
            }
        }
        if (RpD3D8SetLocalLight(light)) {
            pass->lit = TRUE;
        }
    }
}

}  // namespace

void RpD3D8AtomicDefaultLightingCallback(void *object)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    const RpGeometry *geometry = atomic->geometry;
    RpWorld *world = RpWorldGetCurrent();
    if (!(geometry->flags & rpGEOMETRYLIGHT) || world == nullptr) {
        RpD3D8EnableLights(FALSE, 0);
        return;
    }
    const RwBool normals = (geometry->flags & rpGEOMETRYNORMALS) != 0;
    RwRGBAReal ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    RwBool lit = FALSE;
    RwLinkList *list = &world->directionalLightList;
    for (RwLLLink *link = RwLinkListGetFirstLLLink(list); link != RwLinkListGetTerminator(list);
         link = RwLLLinkGetNext(link)) {
        RpLight *light = RwLLLinkGetData(link, RpLight, inWorld);
        if (!(RpLightGetFlags(light) & rpLIGHTLIGHTATOMICS)) {
            continue;
        }
        lit = TRUE;
        if (RpLightGetType(light) != rpLIGHTDIRECTIONAL) {
            ambient.red += light->color.red;
            ambient.green += light->color.green;
            ambient.blue += light->color.blue;
        } else if (normals) {
            RpD3D8SetDirectionalLight(light);
        }
    }
    RpD3D8LightsSetAmbient(&ambient);
    RwD3D8SetRenderState(D3DRS_AMBIENT, lit ? 0xFFFFFFFFu : 0u);
    if (normals) {
        ++RwEngineInst->lightFrame;
        LocalPass pass{RpAtomicGetWorldBoundingSphere(atomic), rpLIGHTLIGHTATOMICS, FALSE};
        RwLinkList *ties = &atomic->llWorldSectorsInAtomic;
        for (RwLLLink *link = RwLinkListGetFirstLLLink(ties); link != RwLinkListGetTerminator(ties);
             link = RwLLLinkGetNext(link)) {
            SendSectorLights(RwLLLinkGetData(link, RpTie, lWorldSectorInAtomic)->worldSector, &pass);
        }
        lit = lit || pass.lit;
    }
    RpD3D8EnableLights(lit, 0);
}

void RpD3D8WorldSectorDefaultLightingCallback(void *object)
{
    RpWorld *world = RpWorldGetCurrent();
    if (world == nullptr || !(world->flags & rpGEOMETRYLIGHT)) {
        RpD3D8EnableLights(FALSE, 0);
        return;
    }
    RwBool lit = RpD3D8SetGlobalLights(rpLIGHTLIGHTWORLD);
    ++RwEngineInst->lightFrame;
    LocalPass pass{nullptr, rpLIGHTLIGHTWORLD, FALSE};
    SendSectorLights(static_cast<RpWorldSector *>(object), &pass);
    RpD3D8EnableLights(lit || pass.lit, 0);
}
