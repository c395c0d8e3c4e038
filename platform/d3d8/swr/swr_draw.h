// The software rasteriser's entry points: everything the device hands over to draw
// primitives and clear targets. The device owns the resources and the state; the
// rasteriser reads them through these records and writes only the target surfaces.
// The same inputs always give the same pixels.
//
// Conventions the rasteriser keeps (the device may rely on them):
// - A pixel (x, y) is covered when its centre, the integer point (x, y), lies inside a
//   triangle or on one of its top or left edges; vertices snap to 1/256 pixel.
// - Transformed geometry is clipped in homogeneous space at the near and far planes
//   and at a guard band of kGuardBandPixels (swr_clipper.h) around the viewport;
//   screen-space vertices only at that guard band. Every pixel write is limited to the
//   viewport and the targets.
// - Colours are 8 bits per channel; products round to nearest (a * b / 255).
// - X8R8G8B8 targets always get 0xFF in the alpha byte and read back as opaque.
// - A point list drawn with D3DRS_POINTSPRITEENABLE gives squares: sizes, coverage and
//   texture coordinates as swr_point_sprite.h says.
// - A stage that reads its texture with none bound (or one of a format the sampler does
//   not know) reads opaque white. Sampling rules are in swr_sampler.h.
// - Drawing may be split over several threads (SetThreadCount); the pixels never depend
//   on how many. All calls here return with every pixel written; a DrawQueue
//   (swr_draw_queue.h) keeps draws to rasterise many together.
#pragma once

#include <cstddef>
#include <cstdint>

#include "d3d8/d3d8types.h"

namespace swr {

struct PixelShaderProgram;    // swr_pixel_shader.h
struct PixelShaderConstants;
class TexelCopy;              // swr_texel_copy.h
class CoarseDepth;            // swr_coarse_depth.h

// A colour target: 32-bit A8R8G8B8 or X8R8G8B8 pixels, rows `pitch` bytes apart.
struct ColorTarget {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    uint8_t *bits = nullptr;
};

// A depth/stencil target: D16, D24S8, D24X8 or D32 (D24 formats keep depth in the top
// 24 bits and stencil in the low 8 of each 32-bit word). `bits` null: no depth buffer.
//
// `coarse`, when set, is where the rasteriser keeps a coarse depth of the target's tiles
// (swr_coarse_depth.h) to skip whole tiles a triangle lies behind: the target's owner
// keeps it alive with the target and drops it whenever the words change other than by
// drawing and clearing through these entry points.
struct DepthTarget {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    uint8_t *bits = nullptr;
    CoarseDepth *coarse = nullptr;
};

// One texture level as the sampler sees it, filled in by the device. `pitch` is the
// bytes from one row of texels to the next, or for DXT formats from one row of 4x4
// blocks to the next. A level whose `bits` is null reads opaque white. The memory is
// read during the draw only, so a level may be a colour target the device drew into
// (render to texture: bind the level's surface as ColorTarget with its own DepthTarget,
// draw, then pass the same memory here).
//
// `copy`, when set, is where the rasteriser may keep a 32-bit copy of a level whose
// format its span routines cannot read directly (swr_texel_copy.h): the level's owner
// keeps it alive with the level and drops it whenever the texels change. Without one
// such levels are sampled by the general per-pixel path.
struct TextureLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    const uint8_t *bits = nullptr;
    TexelCopy *copy = nullptr;
};

// A bound texture: format, its levels (or six faces of levels for a cube map).
// Formats sampled: A8R8G8B8, X8R8G8B8, R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5, A4R4G4B4,
// X4R4G4B4, L8, A8L8, A8, P8 (through DrawState::palette) and DXT1 to DXT5. Level 0 is
// the largest; each level may have any size down to 1x1.
struct TextureView {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    uint32_t levelCount = 0;
    bool isCube = false;
    // levelCount entries; for a cube, 6 x levelCount, face by face in the order +X, -X,
    // +Y, -Y, +Z, -Z, each face's levels largest first (levels[face * levelCount + level]).
    const TextureLevel *levels = nullptr;
    // The first level draws may use (a managed texture's level of detail). Like the
    // stage's MAXMIPLEVEL it counts from level 0; the larger of the two applies.
    uint32_t firstLevel = 0;
};

// A scissor that holds nothing back.
inline constexpr D3DRECT kNoScissor = {0, 0, INT32_MAX, INT32_MAX};

// Every piece of device state that affects drawing. Arrays are indexed by the
// conventional state numbers.
struct DrawState {
    D3DMATRIX world;
    D3DMATRIX view;
    D3DMATRIX projection;
    D3DMATRIX textureTransform[D3D8_MAX_TEXTURE_STAGES];
    D3DVIEWPORT8 viewport;
    // Pixels outside it are left alone by draws (the device's SetScissorRect).
    D3DRECT scissor = kNoScissor;
    D3DMATERIAL8 material;
    // Lights enabled on the device, in the order they were enabled; at most 8.
    const D3DLIGHT8 *lights[8];
    uint32_t lightCount = 0;
    DWORD renderStates[D3DRS_COUNT];
    DWORD stageStates[D3D8_MAX_TEXTURE_STAGES][D3DTSS_COUNT];
    TextureView textures[D3D8_MAX_TEXTURE_STAGES];
    // The current palette (256 entries, alpha in peFlags) or null; read during each draw,
    // so changing it between draws recolours P8 textures from the next draw on.
    const PALETTEENTRY *palette = nullptr;
    // The bound pixel shader, run in place of the texture stages' combiner (fog still
    // follows it), and its constants (null reads as all zero); null for fixed-function
    // drawing. Stages the program samples use their stage states for addressing,
    // filtering and coordinates.
    const PixelShaderProgram *pixelShader = nullptr;
    const PixelShaderConstants *pixelShaderConstants = nullptr;
};

// A vertex stream: the bytes of a vertex buffer, its stride and its flexible vertex format.
struct VertexStream {
    const uint8_t *data = nullptr;
    size_t sizeBytes = 0;
    uint32_t stride = 0;
    DWORD fvf = 0;
};

// An index stream: the bytes of an index buffer with 16- or 32-bit indices.
struct IndexStream {
    const uint8_t *data = nullptr;
    size_t sizeBytes = 0;
    bool is32Bit = false;
};

// Draws `primitiveCount` primitives from vertex `startVertex` on. Vertex reads outside
// the stream are skipped, never performed. Returns false only on a malformed request
// (unknown primitive type, unsupported vertex format).
bool DrawPrimitive(const DrawState &state, ColorTarget &color, DepthTarget *depth,
                   D3DPRIMITIVETYPE type, const VertexStream &vertices,
                   uint32_t startVertex, uint32_t primitiveCount);

// Draws indexed primitives: indices from `startIndex` on, each offset by
// `baseVertexIndex` into the vertex stream. Index and vertex reads outside their
// streams are skipped, never performed.
bool DrawIndexedPrimitive(const DrawState &state, ColorTarget &color, DepthTarget *depth,
                          D3DPRIMITIVETYPE type, const VertexStream &vertices,
                          const IndexStream &indices, uint32_t baseVertexIndex,
                          uint32_t minIndex, uint32_t vertexCount, uint32_t startIndex,
                          uint32_t primitiveCount);

// Clears the given rectangles (all of the viewport when `rectCount` is 0), always
// clipped to the viewport. `flags` is a combination of D3DCLEAR_TARGET, D3DCLEAR_ZBUFFER
// and D3DCLEAR_STENCIL; `z` is in [0, 1].
// With `depthWordsLater`, the depth target's coarse depth is brought up to date but its
// words are left for ClearDepthWords to write before anything uses them (the clear must
// then write every bit of every word: ClearWritesWholeWords).
void Clear(const D3DVIEWPORT8 &viewport, ColorTarget *color, DepthTarget *depth,
           uint32_t rectCount, const D3DRECT *rects, DWORD flags, D3DCOLOR colorValue,
           float z, DWORD stencil, bool depthWordsLater = false);
// Whether a clear with `flags` writes every bit of a depth/stencil word of `format`
// (4-byte words whose depth and stencil bits are all cleared).
bool ClearWritesWholeWords(D3DFORMAT format, DWORD flags);
// Writes the depth and stencil words of the whole target as Clear would have, leaving
// its coarse depth as Clear left it.
void ClearDepthWords(const DepthTarget &depth, DWORD flags, float z, DWORD stencil);

// Threads that drawing is split over, the caller included. 0 (the start-up value)
// means the SWR_THREADS environment variable when it holds a positive number, else
// every hardware thread. Any count gives the same pixels: each screen band is drawn by
// one thread with its primitives in draw order.
void SetThreadCount(uint32_t count);
uint32_t ThreadCount();

// Whether triangles may go through the span routines specialised for common states
// (on at start-up). They give exactly the pixels of the general per-pixel path; turning
// them off forces that path, for tests that compare the two and for diagnosis.
void SetFastPathsEnabled(bool enabled);
bool FastPathsEnabled();

// Pixels the span routines work on at once: 4 (the baseline instruction set) or 8
// (processors with AVX2). 0, the start-up value, takes the widest the processor has;
// a width it lacks falls back to 4. Every width gives the same pixels.
void SetSpanWidth(uint32_t lanes);
uint32_t SpanWidth();

// The default value of every render state and texture-stage state, as the device
// holds them after creation and after a reset; matrices become the identity, the
// material and lights are cleared, textures unbound. The viewport is left as it is
// (the device sizes it to its render target). Depth testing starts enabled only
// when the device was created with an automatic depth-stencil surface.
void SetDefaultStates(DrawState &state, bool hasAutoDepthStencil = false);

}  // namespace swr
