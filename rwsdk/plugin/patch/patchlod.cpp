// Level of detail of patch atomics: by depth in the camera's view between
// the minimum and maximum ranges, or from the atomic's own callback, kept
// to the range the refinement can make.
#include "patchpriv.h"
#include "rwcamera.h"
#include "rwframe.h"

RwUInt32 RpPatchLODFromDepth(RwReal z)
{
    const RpPatchLODParams *p = RpPatchGetLODParams();
    if (z >= p->maxRange) {
        return p->minLod;
    }
    if (z < p->minRange) {
        return p->maxLod;
    }
    const RwReal lod = static_cast<RwReal>(p->maxLod) + (z - p->minRange) * p->slope;
    return lod < 1.0f ? 1u : static_cast<RwUInt32>(lod);
}

RwUInt32 RpPatchAtomicDistanceLOD(RpAtomic *atomic, void *)
{
    RwCamera *camera = RwCameraGetCurrentCamera();
    RwFrame *frame = RpAtomicGetFrame(atomic);
    if (camera == nullptr || frame == nullptr || RwCameraGetFrame(camera) == nullptr) {
        return RpPatchGetLODParams()->maxLod;
    }
    const RwMatrix *view = RwFrameGetLTM(RwCameraGetFrame(camera));
    const RwV3d *pos = &RwFrameGetLTM(frame)->pos;
    const RwV3d d = {pos->x - view->pos.x, pos->y - view->pos.y, pos->z - view->pos.z};
    const RwReal z = d.x * view->at.x + d.y * view->at.y + d.z * view->at.z;
    return RpPatchLODFromDepth(z);
}

RwUInt32 RpPatchAtomicGetLOD(RpAtomic *atomic)
{
    PatchAtomicData *data = PatchAtomicGetData(atomic);
    RpPatchLODCallBack callback = data->callback != nullptr ? data->callback : RpPatchAtomicDistanceLOD;
    const RwUInt32 lod = callback(atomic, data->callbackData);
    // The refinement divides by the LOD, and a patch's strip must keep to
    // 16-bit vertex numbers.
    if (lod < 1) {
        return 1;
    }
    return lod > rpPATCHLODMAXVALUE ? rpPATCHLODMAXVALUE : lod;
}
