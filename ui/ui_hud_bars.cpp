// The monsters' health bars over the 3D scene: the stage's render hands
// the manager each monster whose bar may show; the manager's render draws
// a bar over the head of each one hit within the last five seconds, fading
// out over the last second, and empties the list for the next frame.
#include <algorithm>

#include "actor/ai_object.h"
#include "app/game_system.h"
#include "app/screen_coords.h"
#include "stage/character_params.h"
#include "stage/model_frames.h"
#include "ui/ui_manager.h"
#include "ui/ui_projection.h"
#include "ui/ui_trace.h"

namespace {

constexpr int32_t kHeadNodeId = 100090;
constexpr float kHeadRaise = 3.0f;
constexpr float kShowSeconds = 5.0f;
constexpr float kFadeFromSeconds = 4.0f;
constexpr uint32_t kFrameRgb = 0xF0F0F0u;
constexpr uint32_t kFillRgb = 0xF00000u;

}  // namespace

void CSUIManager::AddHudActor(AiObject *actor)
{
    if (actor == nullptr || actor->model == nullptr) {
        return;
    }
    if (hudActorCount_ < kHudActorLimit) {
        hudActors_[hudActorCount_++] = actor;
    }
}

void CSUIManager::DrawHudBars()
{
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, GetTextureRaster(GetHudTexture()));
    for (int32_t i = 0; i < hudActorCount_; ++i) {
        if (DrawHudBar(hudActors_[i])) {
            TraceHudBar(hudActors_[i]->aiId, hudBarUnclamped_[0], hudBarUnclamped_[1], GetVirtualX(&hudFrame_->v[0]),
                        GetVirtualY(&hudFrame_->v[0]));
            DrawUIQuadKeepRaster(hudFill_->v);
            DrawUIQuadKeepRaster(hudFrame_->v);
        }
    }
    hudActorCount_ = 0;
}

bool CSUIManager::DrawHudBar(AiObject *actor)
{
    if (actor == nullptr || actor->timeSinceHurt >= kShowSeconds || g_pGameSystem == nullptr) {
        return false;
    }
    RwFrame *head = FindFrameByUserId(actor->Clump(), kHeadNodeId);
    if (head == nullptr) {
        return false;
    }
    RwV3d point = RwFrameGetLTM(head)->pos;
    point.y += kHeadRaise;
    RwV3d projected;
    CameraSpacePoint(point, &projected);
    const CharacterParams *params = actor->Params();
    const int32_t maxLife = params != nullptr ? params->maxHP : 1;
    return PlaceHudBar(projected, actor->timeSinceHurt, actor->hp, maxLife);
}

bool CSUIManager::PlaceHudBar(const RwV3d &cameraPoint, float hitTimer, int32_t life, int32_t maxLife)
{
    if (hitTimer >= kShowSeconds) {
        return false;
    }
    // A head at or behind the near plane has no place on the screen.
    float sx = 0.0f;
    float sy = 0.0f;
    if (!ProjectToVirtualScreen(cameraPoint, &sx, &sy)) {
        return false;
    }
    sx -= 32.5f;
    sy -= 5.0f;
    if (!(sx >= -70.0f && sx <= 640.0f && sy >= -13.0f && sy <= 480.0f)) {
        return false;
    }
    hudBarUnclamped_[0] = sx;
    hudBarUnclamped_[1] = sy;
    sx = std::clamp(sx, 0.0f, 570.0f);
    sy = std::clamp(sy, 0.0f, 467.0f);
    const float share = maxLife > 0 ? static_cast<float>(std::clamp(life, 0, maxLife)) / static_cast<float>(maxLife)
                                    : 0.0f;
    SetQuadPositions(hudFrame_->v, sx, sy, sx + 65.0f, sy + 5.0f);
    SetQuadPositions(hudFill_->v, sx + 1.0f, sy + 1.0f, sx + 1.0f + 63.0f * share, sy + 4.0f);
    // Opaque until the last second, then fading out over it.
    const float fading = std::max(hitTimer - kFadeFromSeconds, 0.0f);
    const uint32_t alpha = static_cast<uint32_t>(255.0f - fading * 255.0f);
    SetQuadArgb(hudFrame_->v, alpha << 24 | kFrameRgb);
    SetQuadArgb(hudFill_->v, alpha << 24 | kFillRgb);
    return true;
}
