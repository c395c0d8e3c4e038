// Controls of our processor device that the real platform does not have: the capability
// profile it reports, forced device loss, a strict reset that catches leaked default-pool
// objects, forced creation failures, draws left out of a target that will be covered, and
// the frames it has presented.
#pragma once

#include <cstdint>

#include "d3d8/d3d8.h"
#include "win/window.h"

namespace d3d8 {

// What the device claims and enforces. The default is the processor device the game runs
// on; tests switch fields to drive the engine's other branches.
struct Profile {
    bool hardwareTransformAndLight = false;  // DevCaps HWTRANSFORMANDLIGHT
    bool pow2TexturesOnly = false;           // TextureCaps POW2 (+ CUBEMAP_POW2), enforced
    bool squareTexturesOnly = false;         // TextureCaps SQUAREONLY, enforced
    DWORD blendStages = 8;                   // MaxTextureBlendStages and MaxSimultaneousTextures
    UINT availableTextureMemory = 0x10000000u;
    bool strictReset = false;                // see SetStrictReset
    // Pixel shaders: the highest ps version CreatePixelShader accepts, as D3DPS_VERSION
    // gives it; 0 (the default) makes no shader at all. D3DPS_VERSION(1, 0) or (1, 1)
    // turns the pixel-shader interpreter on and reports the version in the caps.
    DWORD pixelShaderVersion = 0;
    // Point sprites: caps report MaxPointSize 64 and D3DFVFCAPS_PSIZE (without them
    // MaxPointSize is 1, which tells the engine to draw particles as quads).
    bool pointSprites = false;
};

Profile DefaultProfile();
// The profile the next Direct3DCreate8 takes (each Direct3D object keeps its own copy and
// passes it to its devices). Stays until changed; ResetNextProfile goes back to the default.
void SetNextProfile(const Profile &profile);
void ResetNextProfile();
const Profile &NextProfile();
// The caps a profile reports (GetDeviceCaps gives exactly this).
D3DCAPS8 CapsForProfile(const Profile &profile);

// Device loss as the system would cause it. Lost: TestCooperativeLevel and Present give
// D3DERR_DEVICELOST, Reset fails with D3DERR_DEVICELOST and draws do nothing. NotReset:
// TestCooperativeLevel gives D3DERR_DEVICENOTRESET and Reset works again. Ok: not lost.
enum class LossState { Ok, Lost, NotReset };
void SetLossState(IDirect3DDevice8 *device, LossState state);
LossState GetLossState(IDirect3DDevice8 *device);

// Strict reset: Reset fails with D3DERR_INVALIDCALL (and leaves the device not reset)
// while any default-pool object made by the device (textures, buffers, surfaces,
// additional swap chains) is still alive. The device's own bindings do not count.
void SetStrictReset(IDirect3DDevice8 *device, bool on);
// Default-pool objects made by the device that are alive now.
uint32_t LiveDefaultPoolObjects(IDirect3DDevice8 *device);

// The next `count` resource creations (textures, cube textures, buffers, surfaces) fail
// with `result` (e.g. D3DERR_OUTOFVIDEOMEMORY).
void FailNextCreations(IDirect3DDevice8 *device, uint32_t count, HRESULT result);

// Draws into `target` (a surface of the device; null: none) do nothing while it is set,
// depth and stencil included, and are counted: for a caller that knows that an opaque
// draw covers all they would write there before anything shows or reads it.
void SetHiddenTarget(IDirect3DDevice8 *device, IDirect3DSurface8 *target);
// Draws left out so far by SetHiddenTarget.
uint64_t HiddenDraws(IDirect3DDevice8 *device);

// The window the device presents into, and the last frame presented there (through the
// device or any of its swap chains). False when nothing was presented yet, or when the
// window keeps no frames.
HWND PresentWindow(IDirect3DDevice8 *device);
bool GetLastPresentedFrame(IDirect3DDevice8 *device, win::Frame *frame);

}  // namespace d3d8
