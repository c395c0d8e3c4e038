// mkdata OUTDIR: writes the sample data tree, in the game's own formats,
// under OUTDIR. No original data exists; everything here is made up.
#include <cstdio>

#include "tools/mkdata/camera_wall.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/data_tree.h"
#include "tools/mkdata/null_device.h"
#include "tools/mkdata/stage_world.h"
#include "tools/mkdata/effects_model.h"
#include "tools/mkdata/event_table.h"
#include "tools/mkdata/sample_doors.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/sample_movies.h"
#include "tools/mkdata/sample_talk_data.h"
#include "tools/mkdata/lightmap_world.h"
#include "tools/mkdata/media_files.h"
#include "tools/mkdata/patch_model.h"
#include "tools/mkdata/pause_data.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/sample_bosses.h"
#include "tools/mkdata/sample_monsters.h"
#include "tools/mkdata/sample_saves.h"
#include "tools/mkdata/sample_stages.h"
#include "tools/mkdata/sample_traps.h"
#include "tools/mkdata/stage_files.h"
#include "tools/mkdata/stage_sounds.h"
#include "tools/mkdata/scene_camera.h"
#include "tools/mkdata/sample_scene_data.h"
#include "tools/mkdata/sample_stage_ends.h"
#include "tools/mkdata/ui_packs.h"
#include "tools/mkdata/ui_text.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/item_data.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkdata OUTDIR\n");
        return 2;
    }
    if (!mkdata::StartEngine(mkdata::AttachSurfacePlugins)) {
        std::fprintf(stderr, "mkdata: the engine did not start\n");
        return 1;
    }
    bool ok = mkdata::WriteDataTree(argv[1]);
    ok = ok && mkdata::WriteCharacterFiles(argv[1]);
    ok = ok && mkdata::WriteEffectsModel(argv[1]);
    ok = ok && mkdata::WriteLightMapWorld(argv[1]);
    ok = ok && mkdata::WritePatchModel(argv[1]);
    ok = ok && mkdata::WriteStageFiles(argv[1]);
    ok = ok && mkdata::WriteStateMachines(argv[1]);
    ok = ok && mkdata::WriteSampleMonsters(argv[1]);
    ok = ok && mkdata::WriteSampleBosses(argv[1]);
    ok = ok && mkdata::WriteSampleTraps(argv[1]);
    ok = ok && mkdata::WriteSampleStages(argv[1]);
    ok = ok && mkdata::WritePacks(argv[1]);
    ok = ok && mkdata::WriteUiText(argv[1]);
    ok = ok && mkdata::WriteMediaFiles(argv[1]);
    ok = ok && mkdata::WriteSampleEventMovies(argv[1]);
    ok = ok && mkdata::WriteEventTable(argv[1]);
    ok = ok && mkdata::WriteSampleEventData(argv[1]);
    ok = ok && mkdata::WriteSampleTalkData(argv[1]);
    ok = ok && mkdata::WriteSampleDoors(argv[1]);
    ok = ok && mkdata::WriteSceneCameraFiles(argv[1]);
    ok = ok && mkdata::WriteSampleSceneData(argv[1]);
    ok = ok && mkdata::WriteSampleStageEnds(argv[1]);
    ok = ok && mkdata::WriteStageSounds(argv[1]);
    ok = ok && mkdata::WriteFxData(argv[1]);
    ok = ok && mkdata::WriteItemData(argv[1]);
    // After the media files: the interface sounds go into their pack.
    ok = ok && mkdata::WriteInterfacePacks(argv[1]);
    ok = ok && mkdata::WriteSkillFiles(argv[1]);
    ok = ok && mkdata::WriteSampleSaves(argv[1]);
    mkdata::StopEngine();
    if (!ok) {
        std::fprintf(stderr, "mkdata: writing %s failed\n", argv[1]);
        return 1;
    }
    return 0;
}
