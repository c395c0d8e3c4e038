// The material-effects plug-in: attach and life cycle, the record on each
// material with its passes, the effect flags of atomics and sectors, and the
// set-up operations games call to give materials their effects.
#include <cmath>
#include <cstring>

#include "matfxpriv.h"
#include "rpworld.h"
#include "rwd3d8raster.h"

namespace {

MatFXGlobals globals = {-1, -1, -1, 0, nullptr};

constexpr RwInt32 kRecordsPerBlock = 128;
constexpr RwInt32 kRecordAlignment = 8;
constexpr RwUInt32 kBlendSrcAlpha = 5;
constexpr RwUInt32 kBlendInvSrcAlpha = 6;

void ClearPass(RpMatFXEffectData *pass)
{
    switch (pass->effectType) {
    case rpMATFXEFFECTBUMPMAP:
        MatFXReplaceTexture(&pass->data.bumpMap.bumpedTexture, nullptr);
        MatFXReplaceTexture(&pass->data.bumpMap.bumpTexture, nullptr);
        break;
    case rpMATFXEFFECTENVMAP:
        MatFXReplaceTexture(&pass->data.envMap.texture, nullptr);
        break;
    case rpMATFXEFFECTDUAL:
        MatFXReplaceTexture(&pass->data.dual.texture, nullptr);
        break;
    default:
        break;
    }
}

void *MaterialConstruct(void *object, RwInt32 offset, RwInt32)
{
    *reinterpret_cast<RpMatFXMaterialData **>(static_cast<RwUInt8 *>(object) + offset) = nullptr;
    return object;
}

void *MaterialDestruct(void *object, RwInt32 offset, RwInt32)
{
    auto **slot = reinterpret_cast<RpMatFXMaterialData **>(static_cast<RwUInt8 *>(object) + offset);
    if (*slot != nullptr) {
        RpMatFXMaterialDataClear(*slot);
        RwFreeListFree(globals.records, *slot);
        *slot = nullptr;
    }
    return object;
}

void CopyPass(RpMatFXEffectData *dst, const RpMatFXEffectData *src)
{
    switch (src->effectType) {
    case rpMATFXEFFECTBUMPMAP:
        dst->data.bumpMap.frame = src->data.bumpMap.frame;
        dst->data.bumpMap.coef = src->data.bumpMap.coef;
        dst->data.bumpMap.invBumpWidth = src->data.bumpMap.invBumpWidth;
        MatFXReplaceTexture(&dst->data.bumpMap.bumpedTexture, src->data.bumpMap.bumpedTexture);
        MatFXReplaceTexture(&dst->data.bumpMap.bumpTexture, src->data.bumpMap.bumpTexture);
        break;
    case rpMATFXEFFECTENVMAP:
        MatFXReplaceTexture(&dst->data.envMap.texture, src->data.envMap.texture);
        dst->data.envMap.frame = src->data.envMap.frame;
        dst->data.envMap.coef = src->data.envMap.coef;
        dst->data.envMap.useFrameBufferAlpha = src->data.envMap.useFrameBufferAlpha;
        break;
    case rpMATFXEFFECTDUAL:
        MatFXReplaceTexture(&dst->data.dual.texture, src->data.dual.texture);
        dst->data.dual.srcBlendMode = src->data.dual.srcBlendMode;
        dst->data.dual.dstBlendMode = src->data.dual.dstBlendMode;
        break;
    case rpMATFXEFFECTUVTRANSFORM:
        dst->data.uvAnim = src->data.uvAnim;
        break;
    default:
        break;
    }
}

void *MaterialCopy(void *dstObject, const void *srcObject, RwInt32, RwInt32)
{
    auto *dst = static_cast<RpMaterial *>(dstObject);
    const RpMatFXMaterialData *src = RpMatFXMaterialGetData(static_cast<const RpMaterial *>(srcObject));
    if (src == nullptr) {
        return dstObject;
    }
    if (RpMatFXMaterialSetEffects(dst, src->flags) == nullptr) {
        return nullptr;
    }
    for (const RpMatFXEffectData &pass : src->data) {
        RpMatFXEffectData *target = RpMatFXMaterialGetPass(dst, pass.effectType);
        if (target != nullptr && pass.effectType != rpMATFXEFFECTNULL) {
            CopyPass(target, &pass);
        }
    }
    return dstObject;
}

void *FlagConstruct(void *object, RwInt32 offset, RwInt32)
{
    *MatFXFlagSlot(object, offset) = 0;
    return object;
}

void *FlagDestruct(void *object, RwInt32, RwInt32) { return object; }

void *FlagCopy(void *dstObject, const void *srcObject, RwInt32 offset, RwInt32)
{
    if (*MatFXFlagSlot(srcObject, offset) != 0) {
        *MatFXFlagSlot(dstObject, offset) = 1;
    }
    return dstObject;
}

void *EngineOpen(void *instance, RwInt32, RwInt32)
{
    if (globals.openCount == 0) {
        globals.records = RwFreeListCreate(sizeof(RpMatFXMaterialData), kRecordsPerBlock, kRecordAlignment);
        if (globals.records == nullptr) {
            return nullptr;
        }
        if (!RpMatFXD3D8PipelinesOpen()) {
            RwFreeListDestroy(globals.records);
            globals.records = nullptr;
            return nullptr;
        }
    }
    ++globals.openCount;
    return instance;
}

void *EngineClose(void *instance, RwInt32, RwInt32)
{
    if (globals.openCount > 0 && --globals.openCount == 0) {
        RpMatFXD3D8PipelinesClose();
        RwFreeListDestroy(globals.records);
        globals.records = nullptr;
    }
    return instance;
}

// Flag stream callbacks, shared by atomics and sectors.
RwInt32 FlagSize(const void *object, RwInt32 offset, RwInt32)
{
    return *MatFXFlagSlot(object, offset) != 0 ? 4 : 0;
}

RwStream *FlagWrite(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    return RwStreamWriteUInt32(stream, *MatFXFlagSlot(object, offset));
}

RwStream *AtomicRead(RwStream *stream, RwInt32, void *object, RwInt32 offset, RwInt32)
{
    RwUInt32 flag = 0;
    if (!RwStreamReadUInt32(stream, &flag)) {
        return nullptr;
    }
    if (flag != 0 && *MatFXFlagSlot(object, offset) == 0) {
        RpMatFXAtomicSetPipeline(static_cast<RpAtomic *>(object));
        *MatFXFlagSlot(object, offset) = 1;
    }
    return stream;
}

RwStream *SectorRead(RwStream *stream, RwInt32, void *object, RwInt32 offset, RwInt32)
{
    RwUInt32 flag = 0;
    if (!RwStreamReadUInt32(stream, &flag)) {
        return nullptr;
    }
    if (flag != 0 && *MatFXFlagSlot(object, offset) == 0) {
        RpMatFXWorldSectorSetPipeline(static_cast<RpWorldSector *>(object));
        *MatFXFlagSlot(object, offset) = 1;
    }
    return stream;
}

// Rights callbacks: an object whose pipeline was ours when written names us
// as the owner in its pipeline-owner data, and the reader hands it back here
// after its extension chunk. Without them the reader takes the file as
// naming an owner that refuses the object and fails the whole read.
RwInt32 AtomicRights(void *object, RwInt32, RwInt32, RwUInt32)
{
    RpMatFXAtomicSetPipeline(static_cast<RpAtomic *>(object));
    return 1;
}

RwInt32 SectorRights(void *object, RwInt32, RwInt32, RwUInt32)
{
    RpMatFXWorldSectorSetPipeline(static_cast<RpWorldSector *>(object));
    return 1;
}

}  // namespace

MatFXGlobals &MatFXGlobalsGet(void) { return globals; }

void MatFXReplaceTexture(RwTexture **slot, RwTexture *texture)
{
    if (texture != nullptr) {
        RwTextureAddRef(texture);
    }
    if (*slot != nullptr) {
        RwTextureDestroy(*slot);
    }
    *slot = texture;
}

RwUInt32 MatFXEnvCoefficientByte(RwReal coef)
{
    RwReal scaled = std::nearbyint(coef * 255.0f);
    if (!(scaled > 0.0f)) {
        return 0;
    }
    return scaled >= 255.0f ? 255u : static_cast<RwUInt32>(scaled);
}

RwBool RpMatFXPluginAttach(void)
{
    globals.materialOffset = RpMaterialRegisterPlugin(sizeof(RpMatFXMaterialData *), rwID_MATERIALEFFECTSPLUGIN,
                                                      MaterialConstruct, MaterialDestruct, MaterialCopy);
    globals.atomicOffset = RpAtomicRegisterPlugin(sizeof(RwUInt32), rwID_MATERIALEFFECTSPLUGIN, FlagConstruct,
                                                  FlagDestruct, FlagCopy);
    globals.sectorOffset = RpWorldSectorRegisterPlugin(sizeof(RwUInt32), rwID_MATERIALEFFECTSPLUGIN,
                                                       FlagConstruct, FlagDestruct, FlagCopy);
    if (RwEngineRegisterPlugin(0, rwID_MATERIALEFFECTSPLUGIN, EngineOpen, EngineClose) < 0 ||
        globals.materialOffset < 0 || globals.atomicOffset < 0 || globals.sectorOffset < 0) {
        return FALSE;
    }
    if (RpMaterialRegisterPluginStream(rwID_MATERIALEFFECTSPLUGIN, RpMatFXMaterialStreamRead,
                                       RpMatFXMaterialStreamWrite, RpMatFXMaterialStreamGetSize) < 0 ||
        RpAtomicRegisterPluginStream(rwID_MATERIALEFFECTSPLUGIN, AtomicRead, FlagWrite, FlagSize) < 0 ||
        RpWorldSectorRegisterPluginStream(rwID_MATERIALEFFECTSPLUGIN, SectorRead, FlagWrite, FlagSize) < 0 ||
        RpAtomicSetStreamRightsCallBack(rwID_MATERIALEFFECTSPLUGIN, AtomicRights) < 0 ||
        RwPluginRegistryAddRightsCallback(RpWorldSectorGetPluginRegistry(), rwID_MATERIALEFFECTSPLUGIN,
                                          SectorRights) < 0) {
        return FALSE;
    }
    return TRUE;
}

RpMatFXMaterialData *RpMatFXMaterialGetData(const RpMaterial *material)
{
    return globals.materialOffset < 0 ? nullptr : *MatFXMaterialSlot(material);
}

RpMatFXMaterialData *MatFXMaterialTakeData(RpMaterial *material)
{
    RpMatFXMaterialData **slot = MatFXMaterialSlot(material);
    if (*slot == nullptr) {
        auto *data = static_cast<RpMatFXMaterialData *>(RwFreeListAlloc(globals.records));
        if (data == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        std::memset(data, 0, sizeof(*data));
        *slot = data;
    }
    return *slot;
}

RpMatFXMaterialData *RpMatFXMaterialDataClear(RpMatFXMaterialData *data)
{
    ClearPass(&data->data[0]);
    ClearPass(&data->data[1]);
    std::memset(data, 0, sizeof(*data));
    return data;
}

RpMaterial *RpMatFXMaterialSetEffects(RpMaterial *material, RwUInt32 effect)
{
    RpMatFXMaterialData *data = MatFXMaterialTakeData(material);
    if (data == nullptr) {
        return nullptr;
    }
    if (effect == rpMATFXEFFECTNULL || (data->flags != rpMATFXEFFECTNULL && data->flags != effect)) {
        RpMatFXMaterialDataClear(data);
    }
    data->flags = effect;
    switch (effect) {
    case rpMATFXEFFECTBUMPMAP:
        data->data[0].effectType = rpMATFXEFFECTBUMPMAP;
        break;
    case rpMATFXEFFECTENVMAP:
        data->data[0].effectType = rpMATFXEFFECTENVMAP;
        break;
    case rpMATFXEFFECTBUMPENVMAP:
        data->data[0].effectType = rpMATFXEFFECTBUMPMAP;
        data->data[1].effectType = rpMATFXEFFECTENVMAP;
        break;
    case rpMATFXEFFECTDUAL:
        data->data[0].effectType = rpMATFXEFFECTDUAL;
        data->data[0].data.dual.srcBlendMode = kBlendSrcAlpha;
        data->data[0].data.dual.dstBlendMode = kBlendInvSrcAlpha;
        break;
    case rpMATFXEFFECTUVTRANSFORM:
        data->data[0].effectType = rpMATFXEFFECTUVTRANSFORM;
        break;
    case rpMATFXEFFECTDUALUVTRANSFORM:
        data->data[0].effectType = rpMATFXEFFECTUVTRANSFORM;
        if (data->data[1].effectType != rpMATFXEFFECTDUAL) {
            data->data[1].effectType = rpMATFXEFFECTDUAL;
            data->data[1].data.dual.srcBlendMode = kBlendSrcAlpha;
            data->data[1].data.dual.dstBlendMode = kBlendInvSrcAlpha;
        }
        break;
    default:
        break;
    }
    return material;
}

RwUInt32 RpMatFXMaterialGetEffects(const RpMaterial *material)
{
    const RpMatFXMaterialData *data = RpMatFXMaterialGetData(material);
    return data == nullptr ? rpMATFXEFFECTNULL : data->flags;
}

RpMatFXEffectData *RpMatFXMaterialGetPass(const RpMaterial *material, RwUInt32 passType)
{
    RpMatFXMaterialData *data = RpMatFXMaterialGetData(material);
    if (data == nullptr) {
        return nullptr;
    }
    for (RpMatFXEffectData &pass : data->data) {
        if (pass.effectType == passType) {
            return &pass;
        }
    }
    return nullptr;
}

RwTexture *RpMatFXCreateBumpedTexture(RwTexture *baseTexture, RwTexture *bumpTexture)
{
    // Compressed blocks cannot be re-encoded with a new alpha.
    if (bumpTexture == nullptr || bumpTexture->raster == nullptr ||
        RwD3D8RasterIsCompressed(bumpTexture->raster) ||
        (baseTexture != nullptr &&
         (baseTexture->raster == nullptr || RwD3D8RasterIsCompressed(baseTexture->raster)))) {
        return nullptr;
    }
    return RwTextureCreateFromColourAndAlpha(baseTexture, bumpTexture);
}

RpMaterial *RpMatFXMaterialSetBumpMapTexture(RpMaterial *material, RwTexture *bumpTexture)
{
    RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTBUMPMAP);
    if (pass == nullptr) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    RpMatFXBumpMapData &bump = pass->data.bumpMap;
    MatFXReplaceTexture(&bump.bumpTexture, nullptr);
    MatFXReplaceTexture(&bump.bumpedTexture, nullptr);
    bump.invBumpWidth = 0.0f;
    RwTexture *base = material->texture;
    RwTexture *widthSource = base;
    if (bumpTexture != nullptr) {
        MatFXReplaceTexture(&bump.bumpTexture, bumpTexture);
        RwInt32 bumpWidth = bumpTexture->raster != nullptr ? bumpTexture->raster->width : 0;
        RwInt32 baseWidth = (base != nullptr && base->raster != nullptr) ? base->raster->width : 0;
        if (bumpWidth == 0 || (base != nullptr && baseWidth == 0)) {
            return material;
        }
        RwChar name[rwTEXTURECOMBINEDNAMELENGTH + 1];
        RwTextureMakeCombinedName(name, base != nullptr ? base->name : bumpTexture->name, bumpTexture->name);
        RwTexDictionary *dict = RwTexDictionaryGetCurrent();
        RwTexture *found = dict != nullptr ? RwTexDictionaryFindTexture(dict, name) : nullptr;
        if (found != nullptr) {
            MatFXReplaceTexture(&bump.bumpedTexture, found);
        } else {
            RwTexture *made = RpMatFXCreateBumpedTexture(base, bumpTexture);
            if (made == nullptr) {
                return nullptr;
            }
            if (dict != nullptr) {
                RwTexDictionaryAddTexture(dict, made);
            }
            // The dictionary keeps the creation reference; the pass its own.
            MatFXReplaceTexture(&bump.bumpedTexture, made);
            if (dict == nullptr) {
                RwTextureDestroy(made);
            }
        }
        widthSource = bump.bumpedTexture;
    }
    if (widthSource != nullptr && widthSource->raster != nullptr && widthSource->raster->width > 0) {
        bump.invBumpWidth = 1.0f / static_cast<RwReal>(widthSource->raster->width);
    }
    return material;
}

RpMaterial *RpMatFXMaterialSetupBumpMap(RpMaterial *material, RwTexture *bumpTexture, RwFrame *frame,
                                        RwReal coef)
{
    if (RpMatFXMaterialSetBumpMapTexture(material, bumpTexture) == nullptr) {
        return nullptr;
    }
    RpMatFXBumpMapData &bump = RpMatFXMaterialGetPass(material, rpMATFXEFFECTBUMPMAP)->data.bumpMap;
    bump.frame = frame;
    bump.coef = -coef;
    return material;
}

RpMaterial *RpMatFXMaterialSetupEnvMap(RpMaterial *material, RwTexture *envTexture, RwFrame *frame,
                                       RwBool useFrameBufferAlpha, RwReal coef)
{
    RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTENVMAP);
    if (pass == nullptr) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    MatFXReplaceTexture(&pass->data.envMap.texture, envTexture);
    pass->data.envMap.frame = frame;
    pass->data.envMap.useFrameBufferAlpha = useFrameBufferAlpha ? 1u : 0u;
    pass->data.envMap.coef = coef;
    return material;
}

RpMaterial *RpMatFXMaterialSetupDualTexture(RpMaterial *material, RwTexture *texture, RwUInt32 srcBlendMode,
                                            RwUInt32 dstBlendMode)
{
    RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTDUAL);
    if (pass == nullptr) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    MatFXReplaceTexture(&pass->data.dual.texture, texture);
    return RpMatFXMaterialSetDualBlendModes(material, srcBlendMode, dstBlendMode);
}

RpMaterial *RpMatFXMaterialSetDualBlendModes(RpMaterial *material, RwUInt32 srcBlendMode, RwUInt32 dstBlendMode)
{
    RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTDUAL);
    if (pass == nullptr) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    pass->data.dual.srcBlendMode = srcBlendMode;
    pass->data.dual.dstBlendMode = dstBlendMode;
    return material;
}

RpMaterial *RpMatFXMaterialSetUVTransformMatrices(RpMaterial *material, RwMatrix *baseTransform,
                                                  RwMatrix *dualTransform)
{
    RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTUVTRANSFORM);
    if (pass == nullptr) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    pass->data.uvAnim.baseTransform = baseTransform;
    pass->data.uvAnim.dualTransform = dualTransform;
    return material;
}

RpAtomic *RpMatFXAtomicSetPipeline(RpAtomic *atomic)
{
    atomic->pipeline = RpMatFXGetD3D8Pipeline(FALSE);
    return atomic;
}

RpAtomic *RpMatFXAtomicEnableEffects(RpAtomic *atomic)
{
    RwUInt32 *flag = MatFXFlagSlot(atomic, globals.atomicOffset);
    if (*flag == 0) {
        RpMatFXAtomicSetPipeline(atomic);
        *flag = 1;
    }
    return atomic;
}

RwBool RpMatFXAtomicQueryEffects(const RpAtomic *atomic)
{
    return *MatFXFlagSlot(atomic, globals.atomicOffset) != 0;
}

RpWorldSector *RpMatFXWorldSectorSetPipeline(RpWorldSector *sector)
{
    sector->pipeline = RpMatFXGetD3D8Pipeline(TRUE);
    return sector;
}

RpWorldSector *RpMatFXWorldSectorEnableEffects(RpWorldSector *sector)
{
    RwUInt32 *flag = MatFXFlagSlot(sector, globals.sectorOffset);
    if (*flag == 0) {
        RpMatFXWorldSectorSetPipeline(sector);
        *flag = 1;
    }
    return sector;
}

RwBool RpMatFXWorldSectorQueryEffects(const RpWorldSector *sector)
{
    return *MatFXFlagSlot(sector, globals.sectorOffset) != 0;
}
