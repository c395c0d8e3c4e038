// The sample patch model: a curved panel made of one cubic Bezier quad
// patch (16 control points) beside one cubic Bezier triangle patch (10
// control points) on its +x side, with normals, pre-lit colours and one
// set of texture coordinates, all under one textured material. The atomic's geometry carries the patch mesh, written by the
// plug-in's own writer, and is itself the control net the renderer reads:
// the control points as its vertices, one mesh of 16 indices per patch,
// each patch's kind marked by the u coordinate of its slot-5 control point.
#pragma once

#include <string>

#include "rppatch.h"
#include "rpworld.h"

namespace mkdata {

inline const char *PatchModelFolder() { return "RESOURCE/G_EVENT/DFF"; }
inline const char *PatchModelName() { return "PATCH01.DFF"; }

constexpr RwUInt32 kPatchQuadCount = 1;
constexpr RwUInt32 kPatchTriangleCount = 1;
constexpr RwUInt32 kPatchControlPoints =
    kPatchQuadCount * rpQUADPATCHNUMCONTROLINDICES + kPatchTriangleCount * rpTRIPATCHNUMCONTROLINDICES;
constexpr RwUInt32 kPatchMeshFlags =
    rpPATCHMESHPOSITIONS | rpPATCHMESHNORMALS | rpPATCHMESHPRELIGHTS | rpPATCHMESHTEXCOORDSETS(1);

// The name of the texture the model's material uses (one of the prop's).
const char *PatchTextureName();

// The patch mesh of the model (one reference for the caller), its material
// textured by name only; null on failure. Needs the patch plug-in.
RpPatchMesh *BuildPatchMesh();
// Builds the model (texture by name, no raster); the atomic is on the
// patch pipeline and shares the mesh once the model is read back. Null on
// failure.
RpClump *BuildPatchClump();
// Writes the model under `root`.
bool WritePatchModel(const std::string &root);

}  // namespace mkdata
