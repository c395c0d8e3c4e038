// Character selection (see select_character.h).
#include "ui/select_character.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

#include "actor/hero.h"
#include "app/debug.h"
#include "app/game_system.h"
#include "app/pack.h"
#include "app/textures.h"
#include "fx/weather.h"
#include "rwd3d8.h"
#include "stage/clump_anim_manager.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr const char *kSkyBoxPath = "\\RESOURCE\\SKYBOX\\UI\\SKYBOX.DFF";
constexpr float kSkyBoxFarPlane = 400.0f;

const SelectionHero kHeroes[2] = {
    {"\\RESOURCE\\SELCHAR\\ROREVOV\\UIBRE.DFF", "\\RESOURCE\\SELCHAR\\ROREVOV\\UIBRE.ANM", "UIBRE.ANM",
     {2500, 300, 80, 15}, 24, 5100160},
    {"\\RESOURCE\\SELCHAR\\ZEDEVI\\UIELV.DFF", "\\RESOURCE\\SELCHAR\\ZEDEVI\\UIELV.ANM", "UIELV.ANM",
     {2000, 400, 70, 10}, 29, 5100210},
};

// The new game's start items: entries 0..7 with these counts.
constexpr int32_t kStartItemCounts[8] = {3, 0, 0, 0, 0, 3, 0, 0};
constexpr uint32_t kFirstStartItem = 5300000;

// The digit glyphs of SELCHAR.BMP, "0" to "9".
struct DigitRect {
    float s0, t0, s1, t1;
};
constexpr DigitRect kDigits[10] = {
    {470, 344, 488, 369}, {398, 318, 415, 343}, {416, 318, 433, 343}, {434, 318, 451, 343}, {452, 318, 469, 343},
    {470, 318, 488, 343}, {398, 344, 415, 369}, {416, 344, 433, 369}, {434, 344, 451, 369}, {452, 344, 469, 369},
};

std::string Rooted(const char *path) { return std::string(UIDataRoot()) + path; }

// The model's folder, where its textures lie.
std::string FolderOf(const std::string &path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}


}  // namespace

const SelectionHero *FindSelectionHero(int32_t hero) { return hero == 0 || hero == 1 ? &kHeroes[hero] : nullptr; }

bool SetDigitSourceRect(RwIm2DVertex *v, char digit)
{
    if (digit < '0' || digit > '9') {
        return false;
    }
    const DigitRect &r = kDigits[digit - '0'];
    SetQuadUVs512(v, r.s0, r.t0, r.s1, r.t1);
    return true;
}

// ---- HeroModel
HeroModel::HeroModel() : anim(std::make_unique<CSClumpAnimManager>()) {}

HeroModel::~HeroModel() = default;

void HeroModel::Set(uint8_t turnOn, int32_t heroNumber)
{
    if (turnOn != 0) {
        // A new model; the screen's activation starts its idle motion.
        hero = heroNumber;
        if (const SelectionHero *row = FindSelectionHero(heroNumber)) {
            std::copy(std::begin(row->stats), std::end(row->stats), stats);
            LoadModel(*row);
            LoadAnimation(*row);
        }
        return;
    }
    const SelectionHero *row = FindSelectionHero(hero);
    if (animHandle != 0 && row != nullptr) {
        anim->DissolveClump(clump);
        anim->ReleaseAnimation(row->animationName);
    }
    if (clump != nullptr) {
        g_pGameSystem->DestroyClump(clump);
    }
    clump = nullptr;
    anim->ReleaseAll();
}

void HeroModel::LoadModel(const SelectionHero &row)
{
    const std::string path = Rooted(row.model);
    clump = g_pGameSystem->LoadClump(path.c_str(), FolderOf(path).c_str());
    if (clump == nullptr) {
        DebugPrint("CSSelectCharacter: the model %s did not load; the hero stands without it\n", row.model);
    }
}

void HeroModel::LoadAnimation(const SelectionHero &row)
{
    if (anim->LoadAMF(Rooted(row.animationPath).c_str()) < 0) {
        DebugPrint("CSSelectCharacter: the animation %s did not load\n", row.animationPath);
    } else if (clump != nullptr) {
        // A model that did not load gets no animation: nothing to play it on.
        animHandle = anim->AssignAnimation(clump, row.animationName);
    }
}

void HeroModel::SetPosition(const RwV3d &position)
{
    if (clump == nullptr) {
        return;
    }
    // A loaded model always has its root frame: the reader refuses one without.
    RwFrame *frame = RpClumpGetFrame(clump);
    RwMatrix matrix = *RwFrameGetMatrix(frame);
    matrix.pos = position;
    RwFrameTransform(frame, &matrix, rwCOMBINEREPLACE);
}

void HeroModel::ChangeMotion(int32_t motion, float blendSeconds)
{
    if (clump != nullptr && animHandle != 0) {
        anim->ChangeMotion(clump, motion, blendSeconds);
    }
}

// ---- CSSelectCharacter
void CSSelectCharacter::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    active = on;
    CSUIManager *ui = g_pUIManager;
    if (on == 0) {
        DestroyLight();
        background.reset();
        sidePanel.reset();
        namePlate.reset();
        leftArrow.reset();
        rightArrow.reset();
        for (auto &label : labels) {
            label.reset();
        }
        digit.reset();
        ui->StopBGM(0);
        return;
    }
    ui->ResetHeroBlock();
    ui->heroBlock.inUse = 1;
    ui->heroBlock.padIndex = ui->GetUIPad();
    requestPending = false;
    waitingForConfirm = false;
    leave = kStaying;
    current = 0;
    target = 0;
    angle = kStartAngle;
    stepProgress = 0.0f;
    radius = kRadius;
    modelCount = kModelCount;
    CreateQuads();
    LoadTextures();
    LayOut();
    LoadCharacterModel();
    if (models != nullptr) {
        for (int32_t i = 0; i < modelCount; ++i) {
            HeroModel &model = *models[i];
            model.motionState = -1;
            model.confirmStarted = false;
            model.confirmFinished = false;
            model.ChangeMotion(0, 0.0f);
        }
    }
    PlaceModels();
    CreateLight();
    const uint8_t ambient[4] = {45, 45, 45, 255};
    g_pGameSystem->SetAmbientColor(ambient);
    SetStageFog(false, 1.0f);
    PlaceCamera();
    PlaceLight();
    ui->PlayBGM((std::string(UIDataRoot()) + "\\RESOURCE\\MEDIA\\BGM\\SELCHAR.WAV").c_str());
}

void CSSelectCharacter::CreateQuads()
{
    for (auto *q : {&background, &sidePanel, &namePlate, &leftArrow, &rightArrow, &labels[0], &labels[1], &labels[2],
                    &labels[3], &digit}) {
        if (*q == nullptr) {
            *q = std::make_unique<UIQuad>();
        }
    }
}

void CSSelectCharacter::LayOut()
{
    SetQuadPositions(background->v, 0, 0, 640, 480);
    SetQuadUVs(background->v, 0, 0, 1, 1);
    SetQuadArgb(background->v, kUIPictureColour);
    SetQuadPositions(sidePanel->v, 0, 16, 257, 439);
    // Turned a quarter: top left (397, 254), top right (397, 511), bottom
    // left (1, 254), bottom right (1, 511).
    SetQuadUVsRotated(sidePanel->v, 397.0f / 512.0f, 511.0f / 512.0f, 1.0f / 512.0f, 254.0f / 512.0f);
    SetQuadArgb(sidePanel->v, kUIPictureColour);
    SetNamePlate(current);
    PlaceUIQuad(leftArrow.get(), 168, 374, 236, 403, 343, 1, 411, 30);
    PlaceUIQuad(rightArrow.get(), 409, 374, 477, 403, 411, 1, 343, 30);
    for (int k = 0; k < 4; ++k) {
        const float y0 = 150.0f + 36.0f * k;
        const float t0 = 214.0f + 26.0f * k;
        PlaceUIQuad(labels[k].get(), 46, y0, 153, y0 + 25.0f, 398, t0, 505, t0 + 25.0f);
    }
    SetQuadArgb(digit->v, kUIPictureColour);
}

void CSSelectCharacter::SetNamePlate(int32_t hero)
{
    const float t0 = hero == 1 ? 87.0f : 39.0f;
    PlaceUIQuad(namePlate.get(), 237, 362, 403, 409, 168, t0, 334, t0 + 47.0f);
}

void CSSelectCharacter::LoadTextures()
{
    const std::string folder = std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\SELCHAR\\";
    RwImageSetPath(folder.c_str());
    if (backgroundTexture == nullptr) {
        backgroundTexture = LoadTextureWithMask("SPBASE.BMP", "SPBASEA.BMP");
        skyWindow = FindPictureWindow(GetTextureRaster(backgroundTexture));
    }
    RwImageSetPath((std::string(UIDataRoot()) + "\\RESOURCE\\UITEXT\\SELCHAR" + UILanguageFolder()).c_str());
    if (panelTexture == nullptr) {
        panelTexture = LoadTextureWithMask("SELCHAR.BMP", "SELCHARA.BMP");
    }
}

void CSSelectCharacter::ReleaseTextures()
{
    DestroyTexture(backgroundTexture);
    DestroyTexture(panelTexture);
    backgroundTexture = nullptr;
    skyWindow = PictureWindow{};
    panelTexture = nullptr;
}

void CSSelectCharacter::LoadCharacterModel()
{
    // Loaded once and kept; a sky box that did not load is tried again.
    if (models != nullptr && skyBox != nullptr) {
        return;
    }
    PackOpenHook();
    zuOpenPack(Rooted("\\PACK\\UI0\\SELCHAR.STR").c_str());
    CreateModels();
    LoadSkyBox();
    zuClosePack();  // nothing when the pack did not open
}

void CSSelectCharacter::CreateModels()
{
    if (models != nullptr) {
        return;
    }
    modelCount = kModelCount;
    models = std::make_unique<std::unique_ptr<HeroModel>[]>(kModelCount);
    for (int32_t i = 0; i < kModelCount; ++i) {
        models[i] = std::make_unique<HeroModel>();
        models[i]->Set(1, i);
    }
}

void CSSelectCharacter::ReleaseModels()
{
    if (models == nullptr) {
        modelCount = 0;
        return;
    }
    for (int32_t i = 0; i < kModelCount; ++i) {
        if (models[i] != nullptr) {
            models[i]->Set(0, 0);
            models[i]->anim->Release();
        }
    }
    models.reset();
    modelCount = 0;
}

void CSSelectCharacter::LoadSkyBox()
{
    const std::string path = Rooted(kSkyBoxPath);
    skyBox = g_pGameSystem->LoadClump(path.c_str(), FolderOf(path).c_str());
    if (skyBox == nullptr) {
        DebugPrint("CSSelectCharacter: the sky box %s did not load; none is drawn\n", kSkyBoxPath);
    }
    g_pGameSystem->SetFarPlane(kSkyBoxFarPlane);
}

void CSSelectCharacter::ReleaseCharacterModel()
{
    if (active != 0) {
        return;
    }
    if (skyBox != nullptr) {
        g_pGameSystem->DestroyClump(skyBox);
    }
    skyBox = nullptr;
    ReleaseModels();
}

void CSSelectCharacter::Release()
{
    active = 0;
    ReleaseCharacterModel();
    DestroyLight();
    for (auto *q : {&background, &sidePanel, &namePlate, &leftArrow, &rightArrow, &labels[0], &labels[1], &labels[2],
                    &labels[3], &digit}) {
        q->reset();
    }
    ReleaseTextures();
}

void CSSelectCharacter::CreateLight()
{
    light = RpLightCreate(rpLIGHTPOINT);
    if (light == nullptr) {
        return;
    }
    RpLightSetFlags(light, rpLIGHTLIGHTATOMICS);
    RpLightSetRadius(light, 55.0f);
    const RwRGBAReal white = {1.0f, 1.0f, 1.0f, 1.0f};
    RpLightSetColor(light, &white);
    RpLightSetFrame(light, RwFrameCreate());
    RpWorldAddLight(g_pGameSystem->world, light);
}

void CSSelectCharacter::DestroyLight()
{
    if (light == nullptr) {
        return;
    }
    if (RpLightGetWorld(light) != nullptr) {
        RpWorldRemoveLight(RpLightGetWorld(light), light);
    }
    RwFrame *frame = RpLightGetFrame(light);
    RpLightSetFrame(light, nullptr);
    if (frame != nullptr) {
        RwFrameDestroy(frame);
    }
    RpLightDestroy(light);
    light = nullptr;
}

void CSSelectCharacter::PlaceModels()
{
    for (int32_t i = 0; i < modelCount; ++i) {
        const float t = angle + static_cast<float>(i) * kTwoPi / static_cast<float>(modelCount);
        models[i]->SetPosition({std::sin(t) * radius, 0.0f, std::cos(t) * radius});
    }
}

void CSSelectCharacter::PlaceCamera()
{
    RwFrame *frame = RwCameraGetFrame(g_pGameSystem->GetCamera());
    const RwV3d lookAt = {0.0f, 8.092f, 0.0f};
    const RwV3d eye = {0.0f, 12.329f, 73.0f};
    RwV3d d;
    RwV3dSub(&d, &lookAt, &eye);
    RwV3dNormalize(&d, &d);
    RwFrameSetIdentity(frame);
    const RwV3d up = {0.0f, 1.0f, 0.0f};
    RwFrameRotate(frame, &up, 180.0f, rwCOMBINEPOSTCONCAT);
    const RwV3d right = RwFrameGetMatrix(frame)->right;
    RwFrameRotate(frame, &right, g_pGameSystem->ACosDeg(-d.z), rwCOMBINEPOSTCONCAT);
    RwV3d back;
    RwV3dScale(&back, &d, 43.0f);
    RwV3d position;
    RwV3dSub(&position, &lookAt, &back);
    RwFrameTranslate(frame, &position, rwCOMBINEPOSTCONCAT);
}

void CSSelectCharacter::PlaceLight()
{
    RwFrame *frame = light != nullptr ? RpLightGetFrame(light) : nullptr;
    if (frame == nullptr) {
        return;
    }
    RwFrameSetIdentity(frame);
    const RwV3d position = {0.0f, 20.0f, radius + 10.0f};
    RwFrameTranslate(frame, &position, rwCOMBINEPOSTCONCAT);
}

void CSSelectCharacter::SpinSkyBox(uint32_t ms)
{
    if (skyBox == nullptr) {
        return;
    }
    RwFrame *frame = RpClumpGetFrame(skyBox);
    RwMatrix matrix = *RwFrameGetMatrix(frame);
    matrix.pos = {0.0f, 0.0f, 0.0f};
    const RwV3d axis = matrix.up;
    RwMatrixRotate(&matrix, &axis, static_cast<float>(ms) * 0.002f, rwCOMBINEPOSTCONCAT);
    matrix.pos = RwFrameGetLTM(RwCameraGetFrame(g_pGameSystem->camera))->pos;
    RwMatrix clean;
    RwMatrixOrthonormalize(&clean, &matrix);
    RwFrameTransform(frame, &clean, rwCOMBINEREPLACE);
}

void CSSelectCharacter::RenderSkyBox()
{
    if (skyBox == nullptr) {
        return;
    }
    uint8_t saved[4];
    g_pGameSystem->GetAmbientColor(saved);
    const uint8_t white[4] = {255, 255, 255, 255};
    g_pGameSystem->SetAmbientColor(white);
    // The background, drawn next over the whole screen, hides the sky but in its window:
    // the sky is drawn there alone, unless it writes depth (which the models then read).
    RwRaster *frame = RwCameraGetRaster(g_pGameSystem->camera);
    RwInt32 depthWrite = 1;
    RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &depthWrite);
    int32_t window[4];
    const bool scissored = depthWrite == 0 &&
                           PictureWindowOnScreen(skyWindow, background->v, RwRasterGetWidth(frame),
                                                 RwRasterGetHeight(frame), window);
    if (scissored) {
        const D3DRECT rect = {window[0], window[1], window[2], window[3]};
        RwD3D8SetScissor(&rect);
    }
    g_pGameSystem->RenderClump(skyBox);
    if (scissored) {
        RwD3D8SetScissor(nullptr);
    }
    g_pGameSystem->SetAmbientColor(saved);
}

void CSSelectCharacter::TurnCarousel(uint32_t ms)
{
    if (target == current) {
        return;
    }
    const float step = kTwoPi / static_cast<float>(modelCount);
    float d = static_cast<float>(ms) * 0.025f / static_cast<float>(modelCount);
    if (turnDirection == 0) {
        d = -d;
    }
    stepProgress += d;
    if (stepProgress >= step || stepProgress <= -step) {
        d -= stepProgress - (stepProgress > 0.0f ? step : -step);
        current = target;
        stepProgress = 0.0f;
    }
    angle += d;
    PlaceModels();
}

void CSSelectCharacter::AnimateModels(uint32_t ms)
{
    for (int32_t i = 0; i < modelCount; ++i) {
        HeroModel &model = *models[i];
        if (model.animHandle == 0 || model.clump == nullptr) {
            continue;
        }
        if (model.anim->GetAnimationId(model.clump) == 0) {
            model.anim->UpdateClump(model.clump, static_cast<float>(ms) * 0.001f);
        } else if (model.motionState != -1 && model.confirmStarted) {
            model.ChangeMotion(2, 0.0f);
            model.confirmFinished = true;
        } else {
            model.ChangeMotion(0, 0.0f);
        }
    }
}

void CSSelectCharacter::CheckConfirmMotion()
{
    HeroModel *model = Model(current);
    if (!waitingForConfirm) {
        return;
    }
    // A hero without a motion to wait for counts as finished.
    const bool finished = model == nullptr || model->animHandle == 0 || model->confirmFinished;
    if (!finished) {
        return;
    }
    if (leave == kStaying) {
        leave = kStart;
        requestPending = true;
        g_pUIManager->StartFade(0, kFadeMs);
        g_pUIManager->StopBGM(kMusicFadeMs);
    }
    waitingForConfirm = false;
}

void CSSelectCharacter::FinishChoice()
{
    if (!requestPending || g_pUIManager->IsFading() != 0) {
        return;
    }
    if (leave == kBack) {
        g_pUIManager->RequestModule(kUITitle);
    } else if (leave == kStart) {
        g_pUIManager->RequestModule(kUIEnterStage);
        g_pUIManager->SetStageId(kFirstStageId);
    }
}

void CSSelectCharacter::Update(uint32_t ms)
{
    if (active == 0) {
        return;
    }
    SpinSkyBox(ms);
    if (leave == kStaying) {
        TurnCarousel(ms);
        CheckConfirmMotion();
        AnimateModels(ms);
    }
    if (!requestPending) {
        const int32_t padIndex = g_pUIManager->GetUIPad();
        const PadState &pad = UIPadState(padIndex);
        if (pad.connected != 0 && leave == kStaying) {
            if (PadPressed(pad, kPadLeft)) {
                MoveSelection(padIndex, 0);
            } else if (PadPressed(pad, kPadRight)) {
                MoveSelection(padIndex, 2);
            } else if (PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || UIMousePressed()) {
                Confirm(padIndex);
            } else if (PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect)) {
                Back(padIndex);
            }
        }
    }
    FinishChoice();
}

bool CSSelectCharacter::Ready(int32_t pad) const
{
    if (current != target || leave != kStaying) {
        return false;
    }
    const HeroModel *model = Model(current);
    if (model != nullptr && model->confirmStarted && !model->confirmFinished) {
        return false;  // the confirm motion runs
    }
    return pad == g_pUIManager->heroBlock.padIndex;
}

void CSSelectCharacter::MoveSelection(int32_t pad, int32_t direction)
{
    if (!Ready(pad)) {
        return;
    }
    if (direction == 0) {
        target = (modelCount + current + 1) % modelCount;
        turnDirection = 0;
    } else {
        target = (modelCount + current - 1) % modelCount;
        turnDirection = 1;
    }
    SetNamePlate(target);
    g_pUIManager->PlayUISound(kUISoundMove, 0);
}

void CSSelectCharacter::Confirm(int32_t pad)
{
    if (!Ready(pad)) {
        return;
    }
    CSUIManager *ui = g_pUIManager;
    HeroModel *model = Model(current);
    if (model != nullptr && !model->confirmStarted) {
        model->motionState = 0;
        model->ChangeMotion(1, 0.2f);
        model->confirmStarted = true;
    }
    CarriedHero &block = ui->heroBlock;
    block.heroType = model != nullptr ? model->hero : current;
    block.padIndex = ui->GetUIPad();
    for (int i = 0; i < 8; ++i) {
        block.itemIds[i] = kFirstStartItem + 10u * static_cast<uint32_t>(i);
        block.itemCounts[i] = kStartItemCounts[i];
    }
    for (int i = 0; i < kHeroAbilityFlags; ++i) {
        block.abilityFlags[i] = i < 3 ? 1 : 0;
    }
    if (const SelectionHero *row = FindSelectionHero(block.heroType)) {
        block.itemIds[row->startItemEntry] = row->startItem;
        block.itemCounts[row->startItemEntry] = 1;
        block.equipped[2] = row->startItem;
    }
    waitingForConfirm = true;
    target = current;
    ui->PlayUISound(kUISoundConfirm, 0);
}

void CSSelectCharacter::Back(int32_t pad)
{
    if (!Ready(pad)) {
        return;
    }
    leave = kBack;
    requestPending = true;
    g_pUIManager->heroBlock.padIndex = -1;
    g_pUIManager->PlayUISound(kUISoundCancel, 0);
    g_pUIManager->StartFade(0, kFadeMs);
    g_pUIManager->StopBGM(kMusicFadeMs);
}

void CSSelectCharacter::DrawStats()
{
    const HeroModel *model = Model(current);
    for (int row = 0; row < 4; ++row) {
        char text[16];
        std::snprintf(text, sizeof text, "%4d", model->stats[row]);
        const float y0 = 150.0f + 36.0f * row;
        for (int k = 0; k < 4 && text[k] != '\0'; ++k) {
            if (!SetDigitSourceRect(digit->v, text[k])) {
                continue;
            }
            SetQuadPositions(digit->v, 151.0f + 13.0f * k, y0, 168.0f + 13.0f * k, y0 + 25.0f);
            DrawUIQuad(*digit, panelTexture);
        }
    }
}

void CSSelectCharacter::Render()
{
    if (active == 0 || background == nullptr) {
        return;
    }
    RenderSkyBox();
    DrawUIQuad(*background, backgroundTexture);
    SetDepthTestAndWrite(true);
    RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, reinterpret_cast<void *>(rwTEXTUREADDRESSCLAMP));
    for (int32_t i = 0; i < modelCount; ++i) {
        g_pGameSystem->RenderClump(models[i]->clump);
    }
    SetDepthTestAndWrite(false);
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, reinterpret_cast<void *>(1));
    for (const auto *q : {&sidePanel, &namePlate, &leftArrow, &rightArrow, &labels[0], &labels[1], &labels[2],
                          &labels[3]}) {
        DrawUIQuad(**q, panelTexture);
    }
    DrawStats();
    g_pUIManager->DrawShadeRect(0, 410, 640, 445);
    g_pUIManager->DrawKeyPrompts(3);
}
