// Lights as objects: creation with their defaults, colour, radius and cone
// angle, the light plug-in registry, the light chunk reader and the light
// module, which sweeps up lights still alive when the engine stops.
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmatrix.h"
#include "rwmemory.h"
#include "rwstream.h"
#include "world/bamodules.h"

static RwPluginRegistry lightTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RpLight)));
static RwInt32 lightModuleOffset = -1;

static constexpr RwInt32 rpLIGHTENTRIESPERBLOCK = 128;

rpLightGlobals *rpLightGetGlobals(void)
{
    return static_cast<rpLightGlobals *>(RwEngineGetModuleBlock(lightModuleOffset));
}

RwPluginRegistry *RpLightGetPluginRegistry(void) { return &lightTKList; }

RwInt32 RpLightRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&lightTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RpLightRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB,
                                    RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&lightTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RpLightGetPluginOffset(RwUInt32 pluginID) { return RwPluginRegistryGetPluginOffset(&lightTKList, pluginID); }

static RwFramedObject *LightSync(RwFramedObject *object) { return object; }

static RwUInt8 ChromaFlag(const RwRGBAReal &c)
{
    return (c.red == c.green && c.red == c.blue) ? rpLIGHTPRIVATENOCHROMA : 0;
}

RpLight *RpLightCreate(RwInt32 type)
{
    rpLightGlobals *globals = rpLightGetGlobals();
    auto *light = static_cast<RpLight *>(RwFreeListEntryAlloc(globals->lightFreeList));
    if (light == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(light, 0, static_cast<size_t>(lightTKList.sizeOfStruct));
    light->object.object = {rpLIGHT, static_cast<RwUInt8>(type), rpLIGHTLIGHTATOMICS | rpLIGHTLIGHTWORLD, 0,
                            nullptr};
    RwLLLinkInitialize(&light->object.lFrame);
    light->object.sync = LightSync;
    light->radius = 0.0f;
    light->color = {1.0f, 1.0f, 1.0f, 1.0f};
    light->object.object.privateFlags = ChromaFlag(light->color);
    light->minusCosAngle = 1.0f;
    RwLinkListInitialize(&light->WorldSectorsInLight);
    RwLLLinkInitialize(&light->inWorld);
    light->lightFrame = static_cast<RwUInt16>(RwEngineInst->lightFrame - 1);
    if (RwPluginRegistryInitObject(&lightTKList, light) == nullptr) {
        RwFreeListEntryFree(globals->lightFreeList, light);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return light;
}

RwBool RpLightDestroy(RpLight *light)
{
    RwPluginRegistryDeInitObject(&lightTKList, light);
    RwFramedObjectUnlinkFrame(&light->object);
    RwFreeListEntryFree(rpLightGetGlobals()->lightFreeList, light);
    return TRUE;
}

RpLight *RpLightSetFrame(RpLight *light, RwFrame *frame)
{
    RwFramedObjectSetFrame(&light->object, frame);
    return light;
}

RpLight *RpLightSetRadius(RpLight *light, RwReal radius)
{
    light->radius = radius;
    // The world re-ties a moved or resized light to the sectors it reaches.
    if (RpLightGetFrame(light) != nullptr) {
        RwFrameMarkDirty(RpLightGetFrame(light));
    }
    return light;
}

RpLight *RpLightSetColor(RpLight *light, const RwRGBAReal *color)
{
    light->color = *color;
    light->object.object.privateFlags = static_cast<RwUInt8>(
        (light->object.object.privateFlags & ~rpLIGHTPRIVATENOCHROMA) | ChromaFlag(light->color));
    return light;
}

static RwUInt32 BitsOf(RwReal value)
{
    RwUInt32 bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

static RwReal RealOf(RwUInt32 bits)
{
    RwReal value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// Single-precision arc cosine by rational approximation, with the engine's
// table square root.
static RwReal ArcCosine(RwReal x)
{
    static constexpr RwReal pi = 3.1415925026e+00f;
    static constexpr RwReal pio2Hi = 1.5707962513e+00f;
    static constexpr RwReal pio2Lo = 7.5497894159e-08f;
    static constexpr RwReal pS0 = 1.6666667163e-01f, pS1 = -3.2556581497e-01f, pS2 = 2.0121252537e-01f,
                            pS3 = -4.0055535734e-02f, pS4 = 7.9153501429e-04f, pS5 = 3.4793309169e-05f;
    static constexpr RwReal qS1 = -2.4033949375e+00f, qS2 = 2.0209457874e+00f, qS3 = -6.8828397989e-01f,
                            qS4 = 7.7038154006e-02f;
    const RwUInt32 hx = BitsOf(x);
    const RwUInt32 ix = hx & 0x7FFFFFFFu;
    if (ix >= 0x3F800000u) {
        return (hx & 0x80000000u) == 0 ? 0.0f : pi + 2.0f * pio2Lo;
    }
    auto ratio = [&](RwReal z) {
        RwReal p = z * (pS0 + z * (pS1 + z * (pS2 + z * (pS3 + z * (pS4 + z * pS5)))));
        RwReal q = 1.0f + z * (qS1 + z * (qS2 + z * (qS3 + z * qS4)));
        return p / q;
    };
    if (ix < 0x3F000000u) {
        if (ix <= 0x23000000u) {
            return pio2Hi + pio2Lo;
        }
        RwReal r = ratio(x * x);
        return pio2Hi - (x - (pio2Lo - x * r));
    }
    if (hx & 0x80000000u) {
        RwReal z = (1.0f + x) * 0.5f;
        RwReal s = RwFastSqrt(z);
        RwReal w = ratio(z) * s - pio2Lo;
        return pi - 2.0f * (s + w);
    }
    RwReal z = (1.0f - x) * 0.5f;
    RwReal s = RwFastSqrt(z);
    RwReal df = RealOf(BitsOf(s) & 0xFFFFF000u);
    RwReal c = (z - df * df) / (s + df);
    RwReal w = ratio(z) * s + c;
    return 2.0f * (df + w);
}

RwReal RpLightGetConeAngle(const RpLight *light) { return ArcCosine(-light->minusCosAngle); }

RpLight *RpLightStreamRead(RwStream *stream)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return nullptr;
    }
    RwUInt8 record[rpLIGHTSTRUCTSIZE];
    if (!RwStreamReadRecord(stream, length, record, rpLIGHTSTRUCTSIZE)) {
        return nullptr;
    }
    RwUInt32 flagsAndType = RwUInt32FromLE(record + 20);
    RpLight *light = RpLightCreate(static_cast<RwInt32>((flagsAndType >> 16) & 0xFF));
    if (light == nullptr) {
        return nullptr;
    }
    light->radius = RwRealFromLE(record);
    RwRGBAReal colour = {RwRealFromLE(record + 4), RwRealFromLE(record + 8), RwRealFromLE(record + 12), 1.0f};
    RpLightSetColor(light, &colour);
    light->minusCosAngle = RwRealFromLE(record + 16);
    light->object.object.flags = static_cast<RwUInt8>(flagsAndType & 0xFF);
    if (RwPluginRegistryReadData(&lightTKList, stream, light) == nullptr) {
        RpLightDestroy(light);
        return nullptr;
    }
    return light;
}

void *RpLightModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    lightModuleOffset = offset;
    auto *globals = reinterpret_cast<rpLightGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->lightFreeList = RwFreeListCreate(lightTKList.sizeOfStruct, rpLIGHTENTRIESPERBLOCK, 8);
    return globals->lightFreeList != nullptr ? instance : nullptr;
}

static void DestroyLeftover(void *entry, void *) { RpLightDestroy(static_cast<RpLight *>(entry)); }

void *RpLightModuleClose(void *instance, RwInt32 offset, RwInt32)
{
    auto *globals = reinterpret_cast<rpLightGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->lightFreeList != nullptr) {
        RwFreeListForAllUsed(globals->lightFreeList, DestroyLeftover, nullptr);
        RwFreeListDestroy(globals->lightFreeList);
        globals->lightFreeList = nullptr;
    }
    return instance;
}
