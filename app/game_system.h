// The game system: the one object between the application and the game.
// It owns, in the order they are made, the screen manager, the text-block
// pool, the message box, the developer menu, the stage manager, the three
// blocks of four pad states, the world with its ambient light and the main
// camera; it runs the frame clock and each tick (see game_frame.h for the
// order), draws the frame, carries out the return to the title, and gives
// the game its clump handling, angle functions and camera.
//
// The screen manager, developer menu and stage manager belong to later
// parts of the game: their pointers stay null until those parts make them,
// and every call the game system makes into them (GameSystemChildren,
// game_system_children.h) is made only when the object exists.
#pragma once

#include <cstdint>

#include "app/acos_table.h"
#include "app/bitmap_font.h"
#include "app/frame_clock.h"
#include "app/message_box.h"
#include "app/pad_state.h"
#include "app/stage_scene.h"
#include "app/text_block.h"
#include "rpworld.h"

class CSUIManager;
class CSDevMenu;
class CSStageManager;

class CSGameSystem {
public:
    CSGameSystem() = default;
    CSGameSystem(const CSGameSystem &) = delete;
    CSGameSystem &operator=(const CSGameSystem &) = delete;
    ~CSGameSystem() { Destroy(); }

    // Makes the children in order for a client area of `width` x `height`
    // and the language (0 Chinese, 1..14 the others): the message box reads
    // the language's message table and becomes the fatal report; the main
    // camera gets rasters of the client size. Sets the global pointer.
    // False (with everything made undone) when the world or the camera
    // cannot be made.
    bool Create(uint32_t width, uint32_t height, int32_t language);
    // Releases everything in reverse; joins the arc-cosine thread first.
    void Destroy();

    // Reads "\RESOURCE\FONT\CHIFONT.XBF" (language 0) or ENGFONT.XBF (the
    // others) and makes it the global font. A missing or damaged file
    // raises the fatal report with its name; false when it returns.
    bool LoadFont();
    static const char *FontPath(int32_t language);

    // One tick: the frame clock, the updates, the menu chord and, unless
    // the loading screen is active, the frame drawn into the main camera's
    // raster (see FrameDrawn).
    void Tick();
    // Draws the frame under the render lock; false when nothing was drawn.
    bool Render();
    // Whether the last Tick drew a frame (the application then shows it).
    bool FrameDrawn() const { return frameDrawn_; }
    // After the frame is shown: a requested return to the title.
    void EndFrame();

    // Marks the return to the title, carried out at the end of the frame:
    // black for 100 ms, the stage and heroes released, screen 7.
    void RequestStageExit() { stageExitRequested_ = true; }
    bool StageExitRequested() const { return stageExitRequested_; }

    // The main camera, its view matrix copied into cameraMatrix first.
    RwCamera *GetCamera();
    // Sets the main camera's far clip plane when it differs.
    void SetFarPlane(float farPlane);
    // The arc cosine in degrees from the 2001-entry table (see acos_table.h).
    float ACosDeg(float c) const { return acosTable.Lookup(c); }
    void StartACosTableThread() { acosTable.StartThread(); }

    // A clump from a .DFF file (through zufopen, so from the open pack when
    // it holds it) added to the world; null on failure.
    RpClump *LoadClump(const char *path, const char *texturePath);
    // Under the render lock: a clone, recorded with the developer menu.
    RpClump *CloneClump(RpClump *clump);
    // Under the render lock: out of its world, forgotten by the developer
    // menu, destroyed. Null is allowed.
    void DestroyClump(RpClump *clump);
    // Draws every atomic of the clump with the main camera.
    void RenderClump(RpClump *clump);
    // Draws a stage model, or, while it hides a hero from the camera, keeps
    // it for the stage's translucent pass at `alpha` (stage/stage_camera.cpp).
    void RenderClumpWithFade(RpClump *clump, float alpha);
    // The ambient light's colour as four bytes red, green, blue, alpha.
    void SetAmbientColor(const uint8_t rgba[4]);
    void GetAmbientColor(uint8_t rgba[4]) const;

    uint32_t FrameMs() const { return frameClock.FrameMs(); }
    uint32_t LastTickMs() const { return frameClock.LastTickMs(); }
    float Fps() const { return frameClock.Fps(); }
    const char *DataRoot() const;
    uint32_t ClientWidth() const;
    uint32_t ClientHeight() const;

    // ---- What the game reads and writes directly.
    RpWorld *world = nullptr;
    RpLight *ambientLight = nullptr;
    RwCamera *camera = nullptr;
    RwMatrix cameraMatrix = {};  // the main camera's view matrix (GetCamera)
    CSFrameClock frameClock;
    int32_t language = 1;
    // [0] raw current, [1] raw previous, [2] the 0/1/2 states.
    PadState padStates[kPadBlocks][kPadsPerBlock] = {};
    CSUIManager *uiManager = nullptr;
    CSTextBlockPool textBlocks;
    CSMessageBox messageBox;
    CSDevMenu *devMenu = nullptr;
    CSStageManager *stageManager = nullptr;
    // 0 none, 1 frames per second, 2 also memory, 3 all.
    uint32_t displayInfoMode = 0;
    // While 0 the heroes move without world collision.
    uint8_t moveCollision = 1;
    CSBitmapFont font;
    game::ACosTable acosTable;
    // The scene drawn while there are no screens and no stage: the first
    // stage under a camera flying a fixed path (empty when the data tree
    // lacks it). Loaded by the first tick without screens, or by
    // LoadDefaultScene.
    game::StageScene defaultScene;
    bool LoadDefaultScene();
    // While set the screens stand still and draw nothing (the start-up
    // movie of --movie plays before them).
    bool screensHeld = false;

private:
    bool MakeWorld();
    bool MakeCamera(uint32_t width, uint32_t height);

    RwFrame *cameraFrame_ = nullptr;
    float farPlane_ = 0.0f;
    bool created_ = false;
    bool frameDrawn_ = false;
    bool stageExitRequested_ = false;
    bool defaultSceneTried_ = false;
};

// The one game system (null outside its life).
extern CSGameSystem *g_pGameSystem;

// The return to the title through the application's game system.
void RequestStageExit();

// A clump read from a .DFF file through zufopen (the name must end in DFF,
// any case; the file is scanned to its clump chunk), with `texturePath`
// (when given) as the image path of its textures; recorded with the
// developer menu; its atomics draw through the game's render callback
// (app/render_callbacks.h). Null on failure, with a diagnostic.
RpClump *LoadClumpFile(const char *path, const char *texturePath);
