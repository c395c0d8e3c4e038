// What the game and the renderers ask of the driver's device rasters: whether
// a texture's pixels carry alpha, cube and compressed rasters, and the
// registration of the driver's raster extension.
#pragma once

#include "rwtypes.h"

struct RwRaster;
struct RwTexture;

// Registers the driver's raster extension (run by RwEngineInit through the
// driver seam, before any raster exists).
RwBool RwD3D8RasterPluginAttachEntry(void);

// The alpha flag of a texture's raster (false without one); cleared by
// RwD3D8RasterClearAlpha for rasters whose alpha is to be ignored.
RwBool RwD3D8TextureHasAlpha(const RwTexture *texture);
// Whether a texture's raster is on an 8-bit palette (false without one).
RwBool RwD3D8TextureIsPalettised(const RwTexture *texture);
// Two different textures both on 8-bit palettes cannot share one pass: the
// device holds one palette at a time.
RwBool RwD3D8TexturePalettesClash(const RwTexture *a, const RwTexture *b);
void RwD3D8RasterClearAlpha(RwRaster *raster);
RwBool RwD3D8RasterIsCubeRaster(const RwRaster *raster);
// True for rasters holding DXT blocks.
RwBool RwD3D8RasterIsCompressed(const RwRaster *raster);
