// CSXdtModel: a texture-animated model built from an .XDT descriptor: the
// descriptor's model with a flipbook of textures on its first textured
// material, an optional scroll of its texture coordinates and a play count.
// Copies share the loaded animation (textures and the model's own texture
// coordinates) with their source; each keeps its own clock. The flipbook
// texture and the scrolled coordinates are put on the shared model just
// before a copy is drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "fx/xdt_file.h"
#include "rpworld.h"

struct XdtAnimation;

class CSXdtModel {
public:
    CSXdtModel() = default;
    CSXdtModel(const CSXdtModel &) = delete;
    CSXdtModel &operator=(const CSXdtModel &) = delete;
    ~CSXdtModel() { Release(); }

    // Loads the descriptor at `path`, its model (beside it) and its frame
    // textures (from the open pack or the descriptor's folder); the model
    // is hidden. Returns the clump, at once when already loaded; null when
    // the descriptor or its model cannot be read. `world` (may be null) is
    // where Show puts the model.
    RpClump *LoadXdt(RpWorld *world, const char *path);
    // A hidden copy of a loaded model's clump and animation; null when the
    // source holds none.
    RpClump *CloneFrom(const CSXdtModel *source);
    // Advances the clock; true once a model with a play count has played
    // it through (it then holds its last frame).
    bool Advance(float ms);
    void ResetTime();
    void Release();

    void Show(bool on);
    bool IsShown() const { return shown_; }
    void SetPosition(const RwV3d &at);
    void SetMatrix(const RwMatrix *matrix);
    // Draws the model when shown, with its frame's texture and scroll.
    void Render();

    RpClump *Clump() const { return clump_; }
    float TimeMs() const { return timeMs_; }
    bool IsFinished() const { return finished_; }
    // The flipbook frame shown now (0 without frames).
    int32_t FrameIndex() const;
    const XdtDesc *Desc() const;
    // The scroll offset now, in texture coordinates (each within 0..1).
    RwTexCoords ScrollOffset() const;

private:
    void ApplyLook(RwTexture **savedTexture);

    std::shared_ptr<XdtAnimation> anim_;
    RpClump *clump_ = nullptr;
    RpWorld *world_ = nullptr;
    float timeMs_ = 0.0f;
    bool finished_ = false;
    bool shown_ = false;
};
