// Lights on the device: device light indices handed to lights for life,
// the Direct3D light records filled from a light and its frame, the
// ambient colour summed from the global lights, and the closing of a pass
// that enables exactly the lights of the current draw.
#include <initializer_list>
#include <cstring>

#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwframe.h"
#include "rwmemory.h"

// The lights module's id names the device extension of every light.
static constexpr RwUInt32 kD3D8LightExtId = 0x505;

namespace {

// A growable array of device light indices.
struct IndexList {
    RwInt32 *entries = nullptr;
    RwInt32 count = 0;
    RwInt32 capacity = 0;
};

struct LightState {
    IndexList released;
    RwInt32 nextIndex = 0;
    IndexList passes[2];
    RwInt32 current = 0;  // which of passes[] collects this pass
    RwUInt32 maxActive = 0;
    RwRGBAReal ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    D3DLIGHT8 directional = {};
    D3DLIGHT8 local = {};
    RwBool open = FALSE;
};

LightState state;
RwInt32 extOffset = -1;

constexpr RwReal kPi = 3.1415927f;

RwBool Push(IndexList *list, RwInt32 value, RwInt32 growth)
{
    if (list->count == list->capacity) {
        const RwInt32 capacity = list->capacity + growth;
        auto *grown = static_cast<RwInt32 *>(RwRealloc(list->entries, sizeof(RwInt32) * static_cast<size_t>(capacity)));
        if (grown == nullptr) {
            return FALSE;
        }
        std::memset(grown + list->capacity, 0, sizeof(RwInt32) * static_cast<size_t>(growth));
        list->entries = grown;
        list->capacity = capacity;
    }
    list->entries[list->count++] = value;
    return TRUE;
}

void FreeList(IndexList *list)
{
    RwFree(list->entries);
    *list = IndexList{};
}

RwBool Contains(const IndexList &list, RwInt32 value)
{
    for (RwInt32 i = 0; i < list.count; ++i) {
        if (list.entries[i] == value) {
            return TRUE;
        }
    }
    return FALSE;
}

RwInt32 IndexOf(RpLight *light)
{
    RpD3D8LightExt *ext = RpD3D8LightGetExt(light);
    if (ext->index < 0) {
        ext->index = state.released.count > 0 ? state.released.entries[--state.released.count] : state.nextIndex++;
    }
    return ext->index;
}

RwBool Send(RpLight *light, const D3DLIGHT8 *record)
{
    const RwInt32 index = IndexOf(light);
    RwD3D8SetLight(index, record);
    return Push(&state.passes[state.current], index, 8);
}

void SetDiffuse(D3DLIGHT8 *record, const RpLight *light)
{
    record->Diffuse.r = light->color.red;
    record->Diffuse.g = light->color.green;
    record->Diffuse.b = light->color.blue;
}

void *ExtConstruct(void *object, RwInt32 offset, RwInt32)
{
    auto *ext = reinterpret_cast<RpD3D8LightExt *>(static_cast<RwUInt8 *>(object) + offset);
    *ext = {-1, 1.0f, 0.0f, 5.0f};
    return object;
}

void *ExtDestruct(void *object, RwInt32 offset, RwInt32)
{
    auto *ext = reinterpret_cast<RpD3D8LightExt *>(static_cast<RwUInt8 *>(object) + offset);
    // Lights outliving the lights module (the light module closes after
    // it) have nothing to give back to.
    if (ext->index >= 0 && state.open) {
        Push(&state.released, ext->index, 256);
        ext->index = -1;
    }
    return object;
}

void *ExtCopy(void *dst, const void *src, RwInt32 offset, RwInt32)
{
    std::memcpy(static_cast<RwUInt8 *>(dst) + offset, static_cast<const RwUInt8 *>(src) + offset,
                sizeof(RpD3D8LightExt));
    return dst;
}

}  // namespace

RwBool RpD3D8LightAttach(void)
{
    extOffset = RpLightRegisterPlugin(static_cast<RwInt32>(sizeof(RpD3D8LightExt)), kD3D8LightExtId, ExtConstruct,
                                      ExtDestruct, ExtCopy);
    return extOffset >= 0;
}

RpD3D8LightExt *RpD3D8LightGetExt(const RpLight *light)
{
    return reinterpret_cast<RpD3D8LightExt *>(const_cast<RwUInt8 *>(reinterpret_cast<const RwUInt8 *>(light)) +
                                              extOffset);
}

void RpD3D8LightsClose(void)
{
    FreeList(&state.released);
    FreeList(&state.passes[0]);
    FreeList(&state.passes[1]);
    state.nextIndex = 0;
    state.current = 0;
    state.open = FALSE;
}

RwBool RpD3D8LightsOpen(void)
{
    RpD3D8LightsClose();
    const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
    state.maxActive = caps != nullptr ? caps->MaxActiveLights : 0;
    state.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    std::memset(&state.directional, 0, sizeof(state.directional));
    std::memset(&state.local, 0, sizeof(state.local));
    for (D3DLIGHT8 *record : {&state.directional, &state.local}) {
        record->Diffuse.a = 1.0f;
        record->Specular.a = 1.0f;
        record->Ambient.a = 1.0f;
    }
    state.directional.Type = D3DLIGHT_DIRECTIONAL;
    state.local.Falloff = 1.0f;
    state.open = TRUE;
    return TRUE;
}

const RwRGBAReal *RpD3D8LightsGetAmbient(void) { return &state.ambient; }

void RpD3D8LightsSetAmbient(const RwRGBAReal *color)
{
    state.ambient = *color;
    RwD3D8SetAmbientLightColor(color);
}

RwBool RpD3D8SetDirectionalLight(RpLight *light)
{
    SetDiffuse(&state.directional, light);
    const RwMatrix *ltm = RwFrameGetLTM(RpLightGetFrame(light));
    state.directional.Direction = {ltm->at.x, ltm->at.y, ltm->at.z};
    Send(light, &state.directional);
    return TRUE;
}

RwBool RpD3D8SetLocalLight(RpLight *light)
{
    const RwInt32 type = RpLightGetType(light);
    if (light->radius == 0.0f || type < rpLIGHTPOINT || type > rpLIGHTSPOTSOFT) {
        return FALSE;
    }
    D3DLIGHT8 &record = state.local;
    SetDiffuse(&record, light);
    const RwMatrix *ltm = RwFrameGetLTM(RpLightGetFrame(light));
    record.Position = {ltm->pos.x, ltm->pos.y, ltm->pos.z};
    record.Range = light->radius;
    const RpD3D8LightExt *ext = RpD3D8LightGetExt(light);
    record.Attenuation0 = ext->attenuationConstant;
    record.Attenuation1 = ext->attenuationLinear / light->radius;
    record.Attenuation2 = ext->attenuationQuadratic / (light->radius * light->radius);
    if (type == rpLIGHTPOINT) {
        record.Type = D3DLIGHT_POINT;
        record.Direction = {0.0f, 0.0f, 0.0f};
        record.Theta = 0.0f;
        record.Phi = 0.0f;
    } else {
        record.Type = D3DLIGHT_SPOT;
        record.Direction = {ltm->at.x, ltm->at.y, ltm->at.z};
        record.Phi = 2.0f * RpLightGetConeAngle(light);
        if (type == rpLIGHTSPOT) {
            record.Theta = record.Phi >= kPi ? record.Phi - 0.001f : record.Phi;
        } else {
            record.Theta = 0.0f;
        }
    }
    return Send(light, &record);
}

RwBool RpD3D8SetGlobalLights(RwUInt8 flagMask)
{
    RwRGBAReal ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    RwBool any = FALSE;
    auto *world = RpWorldGetCurrent();
    if (world != nullptr) {
        RwLinkList *list = &world->directionalLightList;
        for (RwLLLink *link = RwLinkListGetFirstLLLink(list); link != RwLinkListGetTerminator(list);
             link = RwLLLinkGetNext(link)) {
            RpLight *light = RwLLLinkGetData(link, RpLight, inWorld);
            if (!(RpLightGetFlags(light) & flagMask)) {
                continue;
            }
            any = TRUE;
            if (RpLightGetType(light) == rpLIGHTDIRECTIONAL) {
                RpD3D8SetDirectionalLight(light);
            } else {
                ambient.red += light->color.red;
                ambient.green += light->color.green;
                ambient.blue += light->color.blue;
            }
        }
    }
    RpD3D8LightsSetAmbient(&ambient);
    RwD3D8SetRenderState(D3DRS_AMBIENT, any ? 0xFFFFFFFFu : 0u);
    return any;
}

RwBool RpD3D8EnableLights(RwBool on, RwInt32)
{
    if (on) {
        IndexList &current = state.passes[state.current];
        IndexList &previous = state.passes[1 - state.current];
        if (state.maxActive != 0 && static_cast<RwUInt32>(current.count) > state.maxActive) {
            current.count = static_cast<RwInt32>(state.maxActive);
        }
        for (RwInt32 i = 0; i < previous.count; ++i) {
            if (!Contains(current, previous.entries[i])) {
                RwD3D8EnableLight(previous.entries[i], FALSE);
            }
        }
        for (RwInt32 i = 0; i < current.count; ++i) {
            RwD3D8EnableLight(current.entries[i], TRUE);
        }
        previous.count = 0;
        state.current = 1 - state.current;
    }
    RwD3D8SetRenderState(D3DRS_LIGHTING, on ? 1u : 0u);
    return TRUE;
}
