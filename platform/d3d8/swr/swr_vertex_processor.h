// Vertex processing: reads one vertex from a stream (never past its end), transforms
// it to clip space, lights it, works out its fog factor and gives each textured stage
// its coordinates (read from a coordinate set or generated in camera space, then put
// through the stage's texture transform).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "swr_clip_vertex.h"
#include "swr_draw.h"
#include "swr_fog.h"
#include "swr_lighting.h"
#include "swr_math.h"
#include "swr_vertex_layout.h"

namespace swr {

// Reads a coordinate set of `size` floats (1 to 4) into four. Missing elements: the one
// after the last given is 1 (so a 2D coordinate picks up translation from the third row
// of a texture transform), the rest 0.
inline void ReadTexCoord(const uint8_t *p, uint32_t size, float *dst) {
    dst[0] = dst[1] = dst[2] = dst[3] = 0.0f;
    std::memcpy(dst, p, 4 * size);
    if (size < 4) dst[size] = 1.0f;
}

// A draw's constants for four-lane processing (matrices, lights, fog), each splatted
// over the four lanes once a draw by VertexProcessor::PrepareLanes rather than at every
// batch of four vertices (a batch spent a fifth of its time splatting them).
struct alignas(16) LaneConstants {
    static constexpr uint32_t kMaxLights = 8;
    static constexpr uint32_t kPerLight = 13;
    // Where each group of constants starts, counted in splatted floats.
    enum : uint32_t {
        kWorldViewProjection = 0,      // four columns of four: _1c, _2c, _3c, _4c
        kWorldView = 16,               // three columns of four
        kNormal = 28,                  // three columns of three
        kGlobalAmbient = 37,           // r, g, b
        kMaterialDiffuse = 40,         // r, g, b, a
        kMaterialAmbient = 44,         // r, g, b, a
        kMaterialEmissive = 48,        // r, g, b, a
        kFogEnd = 52,                  // end, end - start
        kLights = 54,                  // kPerLight each: see PrepareLanes
        kCount = kLights + kMaxLights * kPerLight,
    };
    float lanes[kCount][4];
};

class VertexProcessor {
public:
    // False for formats we cannot draw or a stride shorter than the format.
    // `texturedStages` has bit s set when stage s reads a bound texture: those stages
    // get their coordinates carried to the pixels.
    bool Prepare(const DrawState &state, const VertexStream &stream, uint32_t texturedStages);

    // Reads the vertices from other bytes of the same layout and stride from now on (a
    // copy of the stream's, vertex 0 first).
    void ReadFrom(const uint8_t *data, size_t sizeBytes);

    // Vertices wholly inside the stream; reads of index >= this are refused.
    uint32_t VertexCount() const { return vertexCount_; }
    bool Pretransformed() const { return layout_.pretransformed; }
    // Varying slots in use: colours and fog always, coordinates of the stages that
    // read a texture.
    uint32_t VaryingCount() const { return varyingCount_; }

    // Processes vertex `index`. False (and nothing read) when it lies outside the stream.
    bool Process(uint32_t index, ClipVertex &out) const;

    // Processes vertices `index[0..count)` (count at most kBatch, each inside the stream)
    // into `*out[i]`, each exactly as Process would: the draws most of the game makes a
    // lane of four at a time (ProcessFour), the others one by one.
    static constexpr uint32_t kBatch = 4;
    void ProcessBatch(const uint32_t *index, uint32_t count, ClipVertex *const *out) const;
    // The same with the draw's constants splatted by PrepareLanes beforehand, as a cache
    // processing many batches of one draw does.
    void ProcessBatch(const uint32_t *index, uint32_t count, ClipVertex *const *out,
                      const LaneConstants &constants) const;
    // Only the clip positions of vertices `index[0..count)` (count at most kBatch, each
    // inside the stream), the same as ProcessBatch gives: ProcessBatch of the same
    // vertices later gives the rest, leaving the positions as they are. For draws
    // processed four lanes at a time (FourLanes), with the constants splatted. The
    // positions come out as lanes too.
    void ProcessPositions(const uint32_t *index, uint32_t count, ClipVertex *const *out,
                          const LaneConstants &constants, PositionLanes &lanes) const;
    // Splats what ProcessFour reads of this draw's state (when FourLanes is true).
    void PrepareLanes(LaneConstants &constants) const;
    // Whether ProcessBatch takes this draw's vertices four lanes at a time.
    bool FourLanes() const { return fourAtOnce_; }

private:
    VertexLayout layout_;
    LightingSetup lighting_;
    FogSetup fog_;
    D3DMATRIX worldView_{};
    D3DMATRIX worldViewProjection_{};
    D3DMATRIX normalMatrix_{};
    const uint8_t *data_ = nullptr;
    uint32_t stride_ = 0;
    uint32_t vertexCount_ = 0;
    uint32_t varyingCount_ = kVaryTexCoord;
    bool vertexFog_ = false;     // computed per vertex from distance
    bool suppliedFog_ = false;   // taken from the vertex's specular alpha
    bool fourAtOnce_ = false;    // ProcessFour takes this draw's vertices
    void StageCoords(uint32_t stage, const uint8_t *vertex, Vec3 eye, Vec3 eyeNormal, float *dst) const;
    // Whether ProcessFour does all this draw's vertex processing asks for.
    bool FourAtOnce() const;
    void ProcessFour(const uint32_t *index, uint32_t count, ClipVertex *const *out,
                     const LaneConstants &constants) const;

    // Per stage: which coordinate set feeds it (-1: none), what generates it instead
    // (D3DTSS_TCI_* without the set), and how many transformed elements it keeps (0:
    // no transform).
    int32_t stageTexCoordSet_[D3D8_MAX_TEXTURE_STAGES] = {};
    DWORD stageGeneration_[D3D8_MAX_TEXTURE_STAGES] = {};
    uint32_t stageTransformCount_[D3D8_MAX_TEXTURE_STAGES] = {};
    D3DMATRIX textureTransform_[D3D8_MAX_TEXTURE_STAGES];
    uint32_t carriedStages_ = 0;
    bool needsEye_ = false;     // some stage generates from camera-space data
    bool localViewer_ = true;
};

}  // namespace swr
