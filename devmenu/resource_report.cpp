// The resource report: a text snapshot of what the running game holds (the
// stage's model kinds, the loaded sounds, the current texture dictionary,
// the clumps of the world and of the clump-info list, the animation sets
// and animated clumps, the particle total), written by "Write Log File" to
// a file named after the running stage, and by the game-stream pass to a
// name of its own. Its texts are kept exactly as the tools that read these
// reports expect them, spelling included.
#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/audio.h"
#include "app/game_system.h"
#include "app/path.h"
#include "app/textures.h"
#include "devmenu/dev_menu.h"
#include "devmenu/dev_menu_pad.h"
#include "fx/particle_manager.h"
#include "rwcore.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

std::string ResourceReportFileName(int32_t stageId)
{
    char name[32];
    if (stageId >= 1 && stageId <= 38) {
        std::snprintf(name, sizeof name, "\\GFRANK%02d.TXT", static_cast<int>(stageId - 1));
        return name;
    }
    const int32_t offset = stageId - 2010000;
    if (offset >= 0 && offset % 10000 == 0) {
        const int32_t k = offset / 10000;
        if (k <= 37 || (k >= 39 && k <= 41)) {
            std::snprintf(name, sizeof name, "\\GFLOG%02d.TXT", static_cast<int>(k));
            return name;
        }
    }
    return "\\GFLOG.TXT";
}

RwTexture *DevMenuLogTexture(RwTexture *texture, void *data)
{
    std::FILE *file = static_cast<std::FILE *>(data);
    const RwRaster *raster = RwTextureGetRaster(texture);
    const int width = raster != nullptr ? RwRasterGetWidth(raster) : 0;
    const int height = raster != nullptr ? RwRasterGetHeight(raster) : 0;
    const int depth = raster != nullptr ? RwRasterGetDepth(raster) : 0;
    const long long size = static_cast<long long>(width) * height * depth / 8;
    std::fprintf(file, "%s : size: %lld(BYTE) ,width: %d ,height: %d ,depth: %d\tRefCount:%d\n",
                 RwTextureGetName(texture), size, width, height, depth, static_cast<int>(texture->refCount));
    return texture;
}

namespace {

RpClump *CountClump(RpClump *clump, void *data)
{
    ++*static_cast<int *>(data);
    return clump;
}

void WriteObjectKinds(std::FILE *file, const CSStageManager *stage)
{
    std::fprintf(file, "ObjectKind :\n");
    const int count = stage != nullptr ? stage->GetModelTemplateCount() : 0;
    std::fprintf(file, "Count : %d\n", count);
    for (int i = 0; i < count; ++i) {
        const CSModelTemplate *model = stage->modelTemplates[static_cast<size_t>(i)].get();
        std::fprintf(file, "Type : %d GroupCount : %d\n", model != nullptr ? model->GetAiType() : -1,
                     model != nullptr ? model->GetInstanceCount() : 0);
    }
    std::fprintf(file, "\n");
}

void WriteAudio(std::FILE *file)
{
    const CSAudio *audio = g_pApplication != nullptr ? g_pApplication->audio : nullptr;
    std::fprintf(file, "Audio :\n");
    std::fprintf(file, "Count : %d\n", audio != nullptr ? static_cast<int>(audio->Entries().size()) : 0);
    if (audio != nullptr) {
        for (const SoundEntry &entry : audio->Entries()) {
            std::fprintf(file, "ID : %d Size : %d\n", static_cast<int>(entry.soundId),
                         static_cast<int>(audio->GetMemoryUsed(entry.handle)));
        }
    }
    std::fprintf(file, "Total %d(BYTE)\n", static_cast<int>(GetAudioMemoryUsed(0)));
    std::fprintf(file, "\n");
}

void WriteTextures(std::FILE *file)
{
    std::fprintf(file, "Texture :\n");
    RwTexDictionary *dictionary = RwTexDictionaryGetCurrent();
    if (dictionary != nullptr) {
        RwTexDictionaryForAllTextures(dictionary, DevMenuLogTexture, file);
        std::fprintf(file, "Total %d(BYTE)\n", static_cast<int>(GetTextureMemoryUsed()));
    } else {
        std::fprintf(file, "No Texture Dixtionary :\n");
    }
    std::fprintf(file, "\n");
}

void WriteClumps(std::FILE *file, const CSDevMenu &menu)
{
    std::fprintf(file, "ClumpInfo :\n");
    int inWorld = 0;
    if (RpWorld *world = DevMenuWorld()) {
        RpWorldForAllClumps(world, CountClump, &inWorld);
    }
    std::fprintf(file, "Real number in RpWorld: %d\n", inWorld);
    std::fprintf(file, "ClumpInfoCount : %d\n", static_cast<int>(menu.clumpInfos.size()));
    for (const DevMenuClumpInfo &info : menu.clumpInfos) {
        std::fprintf(file, "%s\n", info.name.c_str());
    }
    std::fprintf(file, "\n");
}

void WriteAnimations(std::FILE *file, const CSClumpAnimManager *animations)
{
    std::fprintf(file, "Animation :\n");
    std::fprintf(file, "NumOfData : %d\n", animations->GetAnimCount());
    for (int32_t i = 0; i < animations->GetAnimCount(); ++i) {
        const AnimInfo *info = animations->GetAnimInfo(i);
        std::fprintf(file, "ID : %d AnimName : %s\n", static_cast<int>(i), info != nullptr ? info->name.c_str() : "");
    }
    std::fprintf(file, "Hirearchy Data :\n");
    std::fprintf(file, "NumOfHirearchy : %d\n", animations->GetClumpInfoCount());
    for (int32_t i = 0; i < animations->GetClumpInfoCount(); ++i) {
        const ClumpInfo *info = animations->GetClumpInfo(i);
        const char *name = info != nullptr ? info->name.c_str() : "";
        std::fprintf(file, "ID : %d AnimName : %s\n", static_cast<int>(i), name);
        // The restore reference has no name of its own: the record's stands for it.
        if (info != nullptr && info->restoreFrame != nullptr) {
            std::fprintf(file, "        RestoreName : %s\n", name);
        } else {
            std::fprintf(file, "        RestoreName : Null\n");
        }
        std::fprintf(file, "         AnimSerial : %d\n", info != nullptr ? static_cast<int>(info->animIndex) : -1);
    }
}

}  // namespace

void CSDevMenu::WriteResourceReport(const char *path) const
{
    const CSStageManager *stage = g_pStageManager;
    std::string target;
    if (path != nullptr) {
        target = ResolveGamePath(path);
    } else {
        target = ResolveGamePath(ResourceReportFileName(stage != nullptr ? stage->stageId : 0).c_str());
    }
    std::FILE *file = std::fopen(target.c_str(), "w");
    if (file == nullptr) {
        return;  // no report where it cannot be written
    }
    WriteObjectKinds(file, stage);
    WriteAudio(file);
    WriteTextures(file);
    WriteClumps(file, *this);
    if (stage != nullptr && stage->actorAnimations != nullptr) {
        WriteAnimations(file, stage->actorAnimations.get());
    }
    if (stage != nullptr && stage->particleManager != nullptr) {
        std::fprintf(file, "\n");
        std::fprintf(file, "ToTle Particle Number : %d\n", static_cast<int>(stage->particleManager->GetParticleTotal()));
    }
    std::fclose(file);
}

void CSDevMenu::WriteLogItem()
{
    const DevMenuPad pad = ReadDevMenuPad();
    if (pad.Pressed(kPadCircle)) {
        WriteResourceReport(nullptr);
        Close();
    } else if (pad.Pressed(kPadCross)) {
        inItem = 0;
    }
    std::snprintf(label, sizeof label, "%s", "Press A to write log");
}
