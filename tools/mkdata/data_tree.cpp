// Writes the sample data tree (see data_tree.h): the prop model through
// the model writers and its textures through the engine's BMP writer.
#include "tools/mkdata/data_tree.h"

#include <filesystem>

#include "app/plugins.h"
#include "rpprtstd.h"
#include "rpptank.h"
#include "rpusrdat.h"
#include "rtbmp.h"
#include "tools/mkdata/collision_trees.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/particle_model.h"
#include "tools/mkdata/prop_model.h"
#include "tools/mkdata/stage_world.h"

namespace mkdata {

namespace {

// The game never builds a collision tree and never tests a leaf without
// one, so the stage must carry them or its ground and wall rays find
// nothing. Steps outlive the engine they were added under: an engine
// started later without collision has no slot to build into, and its world
// is written as it is.
bool AddStageCollisionTrees(RpWorld *world)
{
    return RpWorldSectorGetPluginOffset(rwID_COLLISPLUGIN) < 0 || AddCollisionTrees(world);
}

}  // namespace

bool AttachPlugins()
{
    if (!RpWorldPluginAttach() || !RpUserDataPluginAttach() || !RpCollisionPluginAttach() ||
        !RpPTankPluginAttach() || !RpPrtStdPluginAttach()) {
        return false;
    }
    AddStageWorldStep(AddStageCollisionTrees);
    return true;
}

bool AttachGamePlugins()
{
    if (!game::AttachPlugins()) {
        return false;
    }
    AddStageWorldStep(AddStageCollisionTrees);
    return true;
}

static bool WriteTextures(const std::filesystem::path &folder)
{
    for (const PropTexture &texture : PropTextures()) {
        RwImage *image = MakePropTextureImage(texture);
        if (image == nullptr) {
            return false;
        }
        std::string name = texture.name;
        for (char &c : name) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        std::string path = (folder / (name + ".BMP")).string();
        bool ok = RtBmpWrite(image, path.c_str()) != nullptr;
        RwImageDestroy(image);
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool WriteDataTree(const std::string &root)
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::path(root) / PropModelFolder();
    std::filesystem::create_directories(folder / "TEXTURES", error);
    if (error || !CreatePropTextures() || !WriteTextures(folder / "TEXTURES")) {
        return false;
    }
    RpClump *prop = BuildPropClump();
    if (prop == nullptr) {
        return false;
    }
    if (!AddCollisionTrees(prop)) {
        RpClumpDestroy(prop);
        return false;
    }
    bool ok = WriteClumpFile(prop, (folder / PropModelName()).string().c_str());
    RpClumpDestroy(prop);
    RpClump *particles = ok ? BuildParticleClump() : nullptr;
    ok = particles != nullptr && WriteClumpFile(particles, (folder / ParticleModelName()).string().c_str());
    if (particles != nullptr) {
        RpClumpDestroy(particles);
    }
    return ok;
}

}  // namespace mkdata
