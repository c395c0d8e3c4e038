// Screen 8, character selection: the two heroes stand as animated models
// on a small turntable under a spinning sky box; left and right turn it to
// the other hero, whose name plate and four statistics the side panel
// shows. Confirming plays the hero's confirm motion, writes the new game's
// hero into the manager's hero block, and when the motion has ended fades
// to the stage entry (screen 12) with the first stage. Back fades to the
// title. Models, sky box and pictures stay loaded until the stage entry
// frees them.
#pragma once

#include <cstdint>
#include <memory>

#include "rpworld.h"
#include "ui/picture_window.h"
#include "ui/ui_quad.h"

class CSClumpAnimManager;
struct SelectionHero;

struct HeroModel {
    RpClump *clump = nullptr;
    int32_t hero = -1;         // 0 or 1; -1 before it is set
    int32_t motionState = -1;  // -1 idle, 0 after confirm
    bool confirmStarted = false;
    bool confirmFinished = false;
    uint32_t animHandle = 0;
    int32_t stats[4] = {};
    std::unique_ptr<CSClumpAnimManager> anim;

    HeroModel();
    ~HeroModel();
    void Set(uint8_t turnOn, int32_t heroNumber);
    void LoadModel(const SelectionHero &row);
    void LoadAnimation(const SelectionHero &row);
    void SetPosition(const RwV3d &position);
    // Starts a motion when the model has a clump and an animation.
    void ChangeMotion(int32_t motion, float blendSeconds);
};

// The two heroes' files and numbers.
struct SelectionHero {
    const char *model;
    const char *animationPath;
    const char *animationName;
    int32_t stats[4];
    int32_t startItemEntry;
    uint32_t startItem;
};
const SelectionHero *FindSelectionHero(int32_t hero);

class CSSelectCharacter {
public:
    enum Leave : uint32_t { kStaying = 0, kBack = 1, kStart = 2 };
    static constexpr int32_t kModelCount = 2;
    static constexpr float kStartAngle = 0.17453278f;  // 10 degrees
    static constexpr float kRadius = 15.0f;
    static constexpr uint32_t kFadeMs = 1000;
    static constexpr int32_t kMusicFadeMs = 700;

    CSSelectCharacter() = default;
    ~CSSelectCharacter() { Release(); }
    CSSelectCharacter(const CSSelectCharacter &) = delete;
    CSSelectCharacter &operator=(const CSSelectCharacter &) = delete;

    void SetActive(bool on);
    void Update(uint32_t ms);
    void Render();

    void LoadTextures();
    void ReleaseTextures();
    void LoadCharacterModel();
    void ReleaseCharacterModel();
    void Release();

    void MoveSelection(int32_t pad, int32_t direction);
    void Confirm(int32_t pad);
    void Back(int32_t pad);
    void TurnCarousel(uint32_t ms);
    void PlaceModels();
    void SetNamePlate(int32_t hero);

    // What a test reads.
    HeroModel *Model(int32_t i) const { return models != nullptr && i >= 0 && i < modelCount ? models[i].get() : nullptr; }

    std::unique_ptr<std::unique_ptr<HeroModel>[]> models;
    int32_t modelCount = 0;
    RpClump *skyBox = nullptr;
    std::unique_ptr<UIQuad> background, sidePanel, namePlate, leftArrow, rightArrow, labels[4], digit;
    RwTexture *backgroundTexture = nullptr;
    // The background's texels that let the sky through: the sky is drawn under them alone.
    PictureWindow skyWindow;
    RwTexture *panelTexture = nullptr;
    RpLight *light = nullptr;
    uint32_t leave = kStaying;
    int32_t current = 0;
    int32_t target = 0;
    float angle = 0.0f;
    float stepProgress = 0.0f;
    float radius = 0.0f;
    bool active = false;
    bool requestPending = false;
    bool waitingForConfirm = false;
    uint8_t turnDirection = 0;  // 1: the angle grows

private:
    void CreateQuads();
    void LayOut();
    void CreateModels();
    void ReleaseModels();
    void LoadSkyBox();
    void CreateLight();
    void DestroyLight();
    void PlaceCamera();
    void PlaceLight();
    void SpinSkyBox(uint32_t ms);
    void RenderSkyBox();
    void AnimateModels(uint32_t ms);
    void CheckConfirmMotion();
    void FinishChoice();
    void DrawStats();
    bool Ready(int32_t pad) const;
};

// The source rectangle of a digit glyph in SELCHAR.BMP (512ths); false
// for any other character.
bool SetDigitSourceRect(RwIm2DVertex *v, char digit);
