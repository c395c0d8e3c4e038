// Light gizmos: with the statistics level at ALL the frame draws every
// light of the world as a shape of its kind, in world space, half
// transparent over the scene: a cone for a spot light, an arrow for a
// directional light, a circle with two diameters for a point light and a
// box around the world for the ambient light. Each shape is built anew on
// the stack every frame from the light's frame, radius and colour.
#pragma once

#include <cstdint>

#include "rpworld.h"

// One immediate-mode batch: its vertices and the indices of its primitives.
struct GizmoShape {
    static constexpr int kMaxVertices = 40;
    static constexpr int kMaxIndices = 228;
    RwIm3DVertex vertices[kMaxVertices];
    RwImVertexIndex indices[kMaxIndices];
    int vertexCount = 0;
    int indexCount = 0;
    RwPrimitiveType primitive = rwPRIMTYPETRILIST;
};

// A light's colour as bytes (value x 255 + 0.5, truncated, held to 0..255).
struct GizmoColour {
    uint8_t red, green, blue;
};
GizmoColour GizmoColourOf(const RpLight *light);

// The cone: apex at the matrix's position, its axis along `at`, its rim of
// ten points `length` away along the slant at `halfAngle` radians; 20
// triangles, the ten sides in both windings. The apex is tinted: each
// channel raised by 128, saturating at 255.
void BuildGizmoCone(float halfAngle, float length, GizmoColour colour, const RwMatrix &matrix, GizmoShape *shape);
// The arrow's shaft behind a directional light: two rings of 20 points of
// radius 1.5 R, 4 R cos 45 degrees and 9 R behind the position, joined by
// 40 triangles and each closed by 18.
void BuildGizmoArrowShaft(float radius, GizmoColour colour, const RwMatrix &matrix, GizmoShape *shape);
// The point light's circle: 32 points of radius R in the plane of right
// and up, 34 lines (the chords and the diameters 0-16 and 8-24).
void BuildGizmoCircle(float radius, GizmoColour colour, const RwMatrix &matrix, GizmoShape *shape);
// The ambient light's box: 1.1 times the world's bounding box, 12 triangles.
void BuildGizmoBox(const RwBBox &worldBox, GizmoColour colour, GizmoShape *shape);

// Draws one shape (nothing when its batch cannot be opened).
void DrawGizmoShape(GizmoShape *shape);

// The per-light drawer given to RpWorldForAllLights; a light of another
// kind draws nothing. Returns the light so that the walk goes on.
RpLight *DevMenuDrawLight(RpLight *light, void *data);
void DevMenuDrawSpotLight(RpLight *light);
void DevMenuDrawDirectionalLight(RpLight *light);
void DevMenuDrawPointLight(RpLight *light);
void DevMenuDrawAmbientLight(RpLight *light);
// The cone of the spot and directional gizmos, drawn.
void DevMenuDrawCone(float halfAngle, float length, GizmoColour colour, const RwMatrix &matrix);

// The render states for the gizmos, every light of the world drawn, the z
// states switched on again; true.
bool DevMenuRenderWorldLights(RpWorld *world, void *data);

// Counts of what the gizmo drawers drew since the last reset (tests read them).
struct GizmoCounts {
    int shapes = 0;
    int vertices = 0;
    int indices = 0;
};
GizmoCounts &GizmoDrawCounts();
