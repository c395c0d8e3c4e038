// Model templates and their instances. A template is the model of one AI
// type in the running stage: its source clump (never drawn), its animation
// set in the stage's animation manager, its character parameters, and a
// pool of instances — clones of the source, each bound to the animation
// set — that actors take and give back. A stage load clones one instance
// per placed actor; more are cloned on request, at most 255 per template.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "actor/ai_type_table.h"
#include "actor/fsf.h"
#include "rpworld.h"
#include "stage/character_params.h"
#include "stage/motion_table.h"

class AiObject;
class CSClumpAnimManager;
class CSModelTemplate;

constexpr int32_t kMaxModelInstances = 255;

class CSModelInstance {
public:
    RpClump *clump = nullptr;  // first field
    CSModelTemplate *modelTemplate = nullptr;
    AiObject *owner = nullptr;  // null while the instance is free
    bool inUse = false;

    // The instance's frame whose skeleton node id is `tag` (weapon parts
    // 100130, 100140 ...); null when none.
    RwFrame *GetTaggedFrame(int32_t tag) const;

    // Whether the own model's part tagged `partId` touches the other model:
    // a line from the tagged frame along its at-axis, `length` long, against
    // the bounding spheres of the other model's atomics, or against their
    // triangles when the other model belongs to AI type 1003 or 1021. True
    // with the nearest touching point in *hit (may be null). False when the
    // other instance is null or the own model has no such part.
    static bool PickTaggedPart(const CSModelInstance *own, const CSModelInstance *other, int32_t partId,
                               float length, RwV3d *hit);
};

class CSModelTemplate {
public:
    CSModelTemplate() = default;
    ~CSModelTemplate() { Release(); }
    CSModelTemplate(const CSModelTemplate &) = delete;
    CSModelTemplate &operator=(const CSModelTemplate &) = delete;

    // Takes `source` (the template now owns it) as the model of `aiType`,
    // with the animation set `animationName` already loaded in `animations`
    // (one use of it is the template's from now on; null or empty: no
    // animation). False, owning nothing, when the source is null.
    bool Adopt(int32_t aiType, RpClump *source, CSClumpAnimManager *animations, const char *animationName);
    // Loads the model of `aiType` from its files: the .DFF (needed: a
    // missing or damaged one raises the fatal report and gives false), the
    // .ANM with the .AMF beside it into `animations` (without them the
    // model does not animate) and the .PAF (without it the parameters keep
    // their defaults) and the .FSF (needed: a missing one, or one without a
    // state, raises the fatal report and gives false). Then clones
    // `instances` instances (at most 255).
    bool Load(int32_t aiType, ModelFolder folder, const char *modelId, CSClumpAnimManager *animations,
              int32_t instances);
    // Gives back every instance, the source and the template's animation use.
    void Release();

    // A free instance handed to `owner`, cloning one more while fewer than
    // 255 exist; null when none can be had.
    CSModelInstance *TakeInstance(AiObject *owner);
    // Clones one more free instance; null at 255 or when the clone fails.
    CSModelInstance *AddInstance();
    // Marks the instance free again (its clump stays with the template).
    static void GiveBack(CSModelInstance *instance);

    int32_t GetAiType() const { return aiType_; }
    int32_t GetInstanceCount() const { return static_cast<int32_t>(instances_.size()); }
    CSModelInstance *GetInstance(int32_t index) const;
    RpClump *GetSourceClump() const { return source_; }
    CSClumpAnimManager *GetAnimManager() const { return animations_; }
    const std::string &GetAnimationName() const { return animationName_; }
    // The animation frames of animation index `index` (a state's motion), null when the set has none.
    const MotionRange *GetMotionRange(int32_t index) const;

    CharacterParams params;
    CFSF fsf;  // the .FSF state machine, shared by every actor of the template
    // The model's files, when it was read from them.
    ModelFolder modelFolder = ModelFolder::kMonster;
    const std::string &GetModelId() const { return modelId_; }

private:
    int32_t aiType_ = -1;
    RpClump *source_ = nullptr;
    CSClumpAnimManager *animations_ = nullptr;
    std::string animationName_;
    std::string modelId_;
    std::vector<std::unique_ptr<CSModelInstance>> instances_;
};
