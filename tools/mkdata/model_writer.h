// Writers for the model chunks the engine only reads (geometry, atomic,
// light, clump): each is the exact inverse of its reader, written at this
// library's version, and delegates to the engine's own writers (material
// list, frame list, extensions) wherever the engine has one.
#pragma once

#include <string>

#include "rpworld.h"

namespace mkdata {

// Body sizes and whole chunks (header included).
RwUInt32 GeometryChunkBodySize(const RpGeometry *geometry);
bool WriteGeometryChunk(const RpGeometry *geometry, RwStream *stream);
RwUInt32 LightChunkBodySize(const RpLight *light);
bool WriteLightChunk(const RpLight *light, RwStream *stream);
// A clump chunk: frame list, geometry list of the atomics' distinct
// geometries, atomics, lights (cameras are not written).
RwUInt32 ClumpChunkBodySize(RpClump *clump);
bool WriteClumpChunk(RpClump *clump, RwStream *stream);

// A texture reference by name as a material carries it into a file: on a
// raster, because every texture the game reads from its file stands on one
// without automatic mip levels, which the texture's chunk records (bit 16
// of its word), and the maker writes what the game would write back. The
// raster is the device's (a null raster under the maker's null device);
// null when either cannot be made.
RwTexture *CreateTextureReference(const char *name);

// Writes a clump chunk to a file; false on any failure.
bool WriteClumpFile(RpClump *clump, const char *path);

// A clump of one atomic showing `geometry`, the clump and atomic on one
// frame, and the atomic in `atomic` when given. Takes over the caller's
// reference to the geometry, failure or not.
RpClump *SingleAtomicClump(RpGeometry *geometry, RpAtomic **atomic = nullptr);

// Builds a clump with `build` and writes it as `folder`/`name` under
// `root`, making the folder; false on any failure.
bool WriteBuiltClump(const std::string &root, const char *folder, const char *name, RpClump *(*build)(void));

}  // namespace mkdata
