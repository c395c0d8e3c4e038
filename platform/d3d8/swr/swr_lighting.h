// Fixed-function vertex lighting: emissive, ambient, and for each enabled light its
// diffuse, ambient and (when specular is on) specular terms, with range, attenuation
// and spot cones. Lighting happens in camera space so that a non-local viewer looks
// straight down the camera's z axis.
#pragma once

#include <cstdint>

#include "swr_color.h"
#include "swr_draw.h"
#include "swr_math.h"
#include "swr_vertex_layout.h"

namespace swr {

// Where a material colour comes from for one draw.
enum class ColorSource : uint8_t { Material, VertexDiffuse, VertexSpecular };

struct FloatColor {
    float r = 0, g = 0, b = 0, a = 0;
};

// One light, moved into camera space once per draw.
struct PreparedLight {
    D3DLIGHTTYPE type = D3DLIGHT_DIRECTIONAL;
    FloatColor diffuse, specular, ambient;
    Vec3 position;   // camera space (point and spot)
    Vec3 toLight;    // camera space, unit length, towards the light (directional)
    Vec3 direction;  // camera space, unit length, the way a spot light points
    float range = 0;
    float att0 = 0, att1 = 0, att2 = 0;
    float cosHalfTheta = 0, cosHalfPhi = 0, falloff = 1;
};

// Everything per draw that lighting a vertex needs.
struct LightingSetup {
    bool enabled = false;
    bool specular = false;
    bool localViewer = false;
    bool normalize = false;
    FloatColor globalAmbient;
    FloatColor materialDiffuse, materialAmbient, materialSpecular, materialEmissive;
    float power = 0;
    ColorSource diffuseSource = ColorSource::Material;
    ColorSource ambientSource = ColorSource::Material;
    ColorSource specularSource = ColorSource::Material;
    ColorSource emissiveSource = ColorSource::Material;
    PreparedLight lights[8];
    uint32_t lightCount = 0;
};

// Resolves material sources against the vertex layout (a source the vertex lacks falls
// back to the material) and moves the lights into camera space.
void PrepareLighting(const DrawState &state, const VertexLayout &layout, LightingSetup &out);

struct LitColors {
    Rgba8 diffuse;
    Rgba8 specular;
};

// Lights one vertex. `position` and `normal` are in camera space; `normal` is used as
// given unless the setup asks for renormalisation. Vertex colours are those the
// vertex carries (ignored where the setup does not take them).
LitColors LightVertex(const LightingSetup &setup, Vec3 position, Vec3 normal,
                      Rgba8 vertexDiffuse, Rgba8 vertexSpecular);

}  // namespace swr
