// The interface's 640 x 480 virtual screen and the client area it is drawn
// on: positions are kept in virtual units and scaled only when a vertex is
// written, so every layout is given for 640 x 480.
#pragma once

#include <cstdint>

#include "rwcore.h"

inline constexpr float kVirtualWidth = 640.0f;
inline constexpr float kVirtualHeight = 480.0f;

// The client area the vertices are written for (640 x 480 until set); the
// game system sets it from its camera when it is created.
void SetScreenClientSize(uint32_t width, uint32_t height);
uint32_t ScreenClientWidth();
uint32_t ScreenClientHeight();

// x or y in virtual units into the vertex's client pixels (unchanged at 640
// or 480), and back.
void SetScreenX(RwIm2DVertex *vertex, float x);
void SetScreenY(RwIm2DVertex *vertex, float y);
float GetVirtualX(const RwIm2DVertex *vertex);
float GetVirtualY(const RwIm2DVertex *vertex);
