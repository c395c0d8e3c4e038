// What each error code the engine reports is called and means. Common codes
// (top bit set) are one table for every module; private codes are looked up
// with the plug-in id that owns them (1 the core and its driver, 2 the world
// library, a plug-in's or toolkit's own id otherwise).
#include <cstdio>

#include "rwerror.h"

namespace {

struct ErrorText {
    RwInt32 pluginID;
    RwInt32 code;
    const RwChar *name;
    const RwChar *meaning;
};

constexpr RwInt32 kMorph = 0x105;
constexpr RwInt32 kCollision = 0x11D;
constexpr RwInt32 kPVS = 0x12A;
constexpr RwInt32 kAnimation = 0x1B7;

constexpr RwInt32 Common(RwUInt32 code) { return static_cast<RwInt32>(code); }

constexpr ErrorText kTexts[] = {
    {rwID_COMMON, Common(0x80000000u), "E_RW_NOERROR", "no error"},
    {rwID_COMMON, Common(0x80000001u), "E_RW_BADENGINESTATE", "the engine is not in the state this call needs"},
    {rwID_COMMON, Common(0x80000002u), "E_RW_BADOPEN", "the file cannot be opened"},
    {rwID_COMMON, Common(0x80000003u), "E_RW_BADPARAM", "invalid combination type or projection"},
    {rwID_COMMON, Common(0x80000004u), "E_RW_BADVERSION",
     "a chunk of a version outside the accepted window, or of the wrong type"},
    {rwID_COMMON, Common(0x80000008u), "E_RW_INVIMAGEDEPTH", "unsupported image depth"},
    {rwID_COMMON, Common(0x80000009u), "E_RW_INVIMAGEFORMAT", "unsupported image format"},
    {rwID_COMMON, Common(0x8000000Au), "E_RW_INVIMAGESIZE", "images of different width or height"},
    {rwID_COMMON, Common(0x8000000Cu), "E_RW_INVRASTERDEPTH", "a raster depth the device cannot make"},
    {rwID_COMMON, Common(0x8000000Du), "E_RW_INVRASTERFORMAT", "a raster format the device cannot make or convert"},
    {rwID_COMMON, Common(0x8000000Eu), "E_RW_INVRASTERLOCKREQ", "the raster cannot be locked that way"},
    {rwID_COMMON, Common(0x80000011u), "E_RW_INVRASTERUNLOCKREQ", "the raster is not locked that way"},
    {rwID_COMMON, Common(0x80000013u), "E_RW_NOMEM", "out of memory"},
    {rwID_COMMON, Common(0x80000016u), "E_RW_NULLP", "a required argument is null or invalid"},
    {rwID_COMMON, Common(0x80000017u), "E_RW_PLUGININIT",
     "plug-in registered after the engine opened, or its id is already registered"},
    {rwID_COMMON, Common(0x80000018u), "E_RW_DEPENDENCY", "a pipeline node's dependencies cannot be met"},
    {rwID_COMMON, Common(0x8000001Au), "E_RW_READ", "the data ended early or does not hold what it declares"},
    {rwID_COMMON, Common(0x8000001Cu), "E_RW_WRITE", "a write did not complete"},
    {rwID_COMMON, Common(0x8000001Eu), "E_RW_STRINGTRUNCATED", "a name of 32 or more characters was cut"},

    {rwID_CORE, 2, "E_RW_DEVICEERROR", "the device refused a raster or texture operation"},
    {rwID_CORE, 5, "E_RW_ENDOFSTREAM", "end of stream reached"},
    {rwID_CORE, 12, "E_RW_RESOURCESFULL", "the resource arena is full with nothing left to evict"},
    {rwID_CORE, 13, "E_RW_BADACCESSMODE", "bad stream access mode"},
    {rwID_CORE, 14, "E_RW_BADSTREAMTYPE", "bad stream type"},
    {rwID_CORE, 16, "E_RW_NOCAMERAUPDATE", "no camera is in its update"},
    {rwID_CORE, 21, "E_RW_NORASTERCONTEXT", "no raster is the current drawing context"},
    {rwID_CORE, 22, "E_RW_TEXTURENOTFOUND", "texture not found"},
    {rwID_CORE, 24, "E_RW_DEVICEREQUEST", "a device request that neither the device nor the defaults answer"},
    {rwID_CORE, 25, "E_RW_ZEROLENGTH", "a direction of zero length cannot be normalised"},
    {rwID_CORE, 28, "E_RX_CYCLICPIPELINE", "a pipeline node the sort cannot place"},
    {rwID_CORE, 29, "E_RX_INVALIDREQUIREMENT", "a cluster a node requires is not supplied"},
    {rwID_CORE, 30, "E_RX_DEP_DUPLICATECLUSTER", "a node names one cluster twice"},
    {rwID_CORE, 31, "E_RX_DEP_NULLCLUSTERDEF", "a node's cluster definition is missing"},
    {rwID_CORE, 32, "E_RX_DEP_OUTOFMEMORY", "the pipeline unlock work area is exhausted"},
    {rwID_CORE, 34, "E_RX_NODETOPSORT_NOINPUT", "a pipeline node has no input"},
    {rwID_CORE, 35, "E_RW_IM3DNOTACTIVE", "Im3D draw without a transformed batch"},
    {rwID_CORE, 36, "E_RX_INVALIDENTRYPOINT", "invalid pipeline entry point"},
    {rwID_CORE, 37, "E_RW_IM3DINVALIDPRIMTYPE", "bad Im3D primitive type"},
    {rwID_CORE, 40, "E_RX_TOOMANYCLUSTERS", "too many clusters in a pipeline node"},
    {rwID_CORE, 41, "E_RX_TOOMANYOUTPUTS", "too many outputs of a pipeline node"},
    {rwID_CORE, 42, "E_RX_TOOMANYNODES", "too many nodes in a pipeline"},
    {rwID_CORE, 50, "E_RW_IM3DTOOMANYVERTICES", "more than 65536 Im3D vertices"},
    {rwID_CORE, 52, "E_RX_UNLOCKEDPIPE", "the pipeline is not locked"},

    {rwID_WORLD, 4, "E_RP_WORLD_CLUMPNOTINWORLD", "clump removed from a world it is not in"},
    {rwID_WORLD, 5, "E_RP_WORLD_FRAMELESSATOMIC", "an atomic without a frame cannot be cloned"},
    {rwID_WORLD, 6, "E_RP_WORLD_TOOMANYVERTICES", "geometry of 65536 or more vertices"},

    {kMorph, 1, "E_RP_MORPH_NOGEOMETRY", "the atomic has no geometry to morph"},
    {kCollision, 0, "E_RP_COLLIS_BADINTERSECTIONTYPE", "unknown intersection type"},
    {kCollision, 1, "E_RP_COLLIS_BADDATA", "damaged collision data"},
    {kPVS, 1, "E_RP_PVS_BADDATA", "damaged visibility data"},
    {kAnimation, 0, "E_RT_ANIM_SCHEMEEXISTS", "a key-frame scheme of that id is already registered"},
    {kAnimation, 1, "E_RT_ANIM_TOOMANYSCHEMES", "no room for another key-frame scheme"},
    {kAnimation, 2, "E_RT_ANIM_SCHEMEUNKNOWN", "the animation's key-frame scheme is not registered"},
};

const ErrorText *Find(RwInt32 pluginID, RwInt32 code)
{
    const RwBool common = (code & E_RW_NOERROR) != 0;
    for (const ErrorText &text : kTexts) {
        if (text.code == code && (common || text.pluginID == pluginID)) {
            return &text;
        }
    }
    return nullptr;
}

}  // namespace

const RwChar *RwErrorGetName(RwInt32 pluginID, RwInt32 code)
{
    const ErrorText *text = Find(pluginID, code);
    return text != nullptr ? text->name : nullptr;
}

const RwChar *RwErrorGetMessage(RwInt32 pluginID, RwInt32 code)
{
    const ErrorText *text = Find(pluginID, code);
    return text != nullptr ? text->meaning : nullptr;
}

RwInt32 RwErrorFormat(const RwError *error, const RwChar *detail, RwChar *buffer, RwInt32 size)
{
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const RwInt32 pluginID = error != nullptr ? error->pluginID : rwID_COMMON;
    const RwInt32 code = error != nullptr ? error->errorCode : E_RW_NOERROR;
    const ErrorText *text = Find(pluginID, code);
    const RwChar *name = text != nullptr ? text->name : "unknown error";
    const RwChar *meaning = text != nullptr ? text->meaning : "a code with no message";
    const RwChar *gap = detail != nullptr && detail[0] != '\0' ? ": " : "";
    const int n = std::snprintf(buffer, static_cast<size_t>(size), "%s (0x%X:0x%X): %s%s%s", name,
                                static_cast<unsigned>(pluginID), static_cast<unsigned>(code), meaning, gap,
                                detail != nullptr ? detail : "");
    return n < 0 ? 0 : (n < size ? n : size - 1);
}
