// The sample effects data (see fx_data.h), at the game's scale (a unit is
// about 10 cm; gravity is 98 units a second squared). Every file is fixed
// text or a fixed picture, so the tree is the same on every run.
#include "tools/mkdata/fx_data.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "rtbmp.h"
#include "tools/mkdata/effects_model.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/pack_writer.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;

struct ZusSample {
    const char *name;
    int count;
    const char *text;
};

// The game-wide particle systems. Fire and sparks add light; rain falls
// from a wide box above the camera.
const ZusSample kEffectSet[] = {
    // The equipment aura the sample's life charm wears, on every stage.
    {"AURA.ZUS", 2,
     "Texture: SPARK.BMP\nEmitRate: 16\nMaxParticles: 24\nLife: 1.2\nLifetime: -1\nVelocity: 0, 8, 0\n"
     "Spread: 60\nSizeStart: 3\nSizeEnd: 1\nColourStart: 120, 255, 160, 200\nColourEnd: 40, 200, 255, 0\n"
     "Blend: ADD\nEmitterSize: 6, 10, 6\n"},
    {"3400400.zus", 16,
     "Texture: SPARK.BMP\nEmitRate: 240\nMaxParticles: 64\nLife: 0.4\nLifetime: 0.15\nVelocity: 0, 60, 0\n"
     "Spread: 80\nGravity: 0, -200, 0\nSizeStart: 6\nSizeEnd: 1\nColourStart: 255, 230, 150, 255\n"
     "ColourEnd: 255, 80, 0, 0\nBlend: ADD\nEmitterSize: 2, 2, 2\n"},
    {"fire_l.zus", 8,
     "Texture: FIRE.BMP\nEmitRate: 40\nMaxParticles: 48\nLife: 0.6\nLifetime: -1\nVelocity: 0, 30, 0\nSpread: 20\n"
     "Gravity: 0, 10, 0\nSizeStart: 12\nSizeEnd: 2\nColourStart: 255, 170, 60, 230\nColourEnd: 200, 30, 0, 0\n"
     "Blend: ADD\nEmitterSize: 4, 1, 4\n"},
    {"fire_m.zus", 24,
     "Texture: FIRE.BMP\nEmitRate: 30\nMaxParticles: 32\nLife: 0.5\nLifetime: -1\nVelocity: 0, 25, 0\nSpread: 20\n"
     "Gravity: 0, 10, 0\nSizeStart: 8\nSizeEnd: 1.5\nColourStart: 255, 170, 60, 230\nColourEnd: 200, 30, 0, 0\n"
     "Blend: ADD\nEmitterSize: 2.5, 1, 2.5\n"},
    {"fire_s.zus", 16,
     "Texture: FIRE.BMP\nEmitRate: 20\nMaxParticles: 20\nLife: 0.4\nLifetime: -1\nVelocity: 0, 20, 0\nSpread: 20\n"
     "Gravity: 0, 10, 0\nSizeStart: 5\nSizeEnd: 1\nColourStart: 255, 170, 60, 230\nColourEnd: 200, 30, 0, 0\n"
     "Blend: ADD\nEmitterSize: 1.5, 1, 1.5\n"},
    {"3404600.ZUS", 12,
     "Texture: SPARK.BMP\nEmitRate: 12\nMaxParticles: 16\nLife: 1\nLifetime: -1\nVelocity: 0, 15, 0\nSpread: 40\n"
     "SizeStart: 4\nSizeEnd: 1\nColourStart: 120, 255, 120, 200\nColourEnd: 40, 160, 40, 0\nBlend: ADD\n"
     "EmitterSize: 5, 5, 5\n"},
    {"3404601.ZUS", 12,
     "Texture: SPARK.BMP\nEmitRate: 8\nMaxParticles: 12\nLife: 1.2\nLifetime: -1\nVelocity: 0, 10, 0\nSpread: 60\n"
     "SizeStart: 3\nSizeEnd: 0.5\nColourStart: 255, 255, 255, 200\nColourEnd: 120, 120, 255, 0\nBlend: ADD\n"
     "EmitterSize: 5, 5, 5\n"},
    {"3404602.ZUS", 12,
     "Texture: SPARK.BMP\nEmitRate: 6\nMaxParticles: 10\nLife: 1.5\nLifetime: -1\nVelocity: 0, 5, 0\nSpread: 90\n"
     "SizeStart: 5\nSizeEnd: 2\nColourStart: 200, 120, 255, 180\nColourEnd: 80, 0, 160, 0\nBlend: ADD\n"
     "EmitterSize: 5, 5, 5\n"},
    {"3206800.ZUS", 8,
     "Texture: SPARK.BMP\nEmitRate: 10\nMaxParticles: 12\nLife: 0.8\nLifetime: -1\nVelocity: 0, 5, 0\nSpread: 90\n"
     "SizeStart: 4\nSizeEnd: 4\nColourStart: 255, 255, 80, 255\nColourEnd: 255, 200, 0, 0\nBlend: ADD\n"
     "EmitterSize: 6, 1, 6\n"},
    // Boss 1107's body particles, one on each hand while it has its model.
    {"3218300.ZUS", 4,
     "Texture: FIRE.BMP\nEmitRate: 25\nMaxParticles: 30\nLife: 0.7\nLifetime: -1\nVelocity: 0, 12, 0\nSpread: 50\n"
     "SizeStart: 5\nSizeEnd: 1\nColourStart: 120, 200, 255, 230\nColourEnd: 40, 60, 255, 0\nBlend: ADD\n"
     "EmitterSize: 2, 2, 2\n"},
    // The later bosses' beams (laid from a weapon to a foe along the
    // emitter's height, following the weapon) and the stone's glow of
    // boss 1109.
    {"3210400.zus", 4,
     "Texture: SPARK.BMP\nEmitRate: 120\nMaxParticles: 60\nLife: 0.3\nLifetime: -1\nVelocity: 0, 0, 0\nSpread: 0\n"
     "SizeStart: 4\nSizeEnd: 1\nColourStart: 200, 120, 255, 255\nColourEnd: 80, 40, 255, 0\nBlend: ADD\n"
     "EmitterSize: 0, 1, 0\n"},
    {"3214000.zus", 4,
     "Texture: SPARK.BMP\nEmitRate: 120\nMaxParticles: 60\nLife: 0.3\nLifetime: -1\nVelocity: 0, 0, 0\nSpread: 0\n"
     "SizeStart: 5\nSizeEnd: 1\nColourStart: 255, 200, 80, 255\nColourEnd: 255, 60, 0, 0\nBlend: ADD\n"
     "EmitterSize: 0, 1, 0\n"},
    {"3216500.zus", 8,
     "Texture: SPARK.BMP\nEmitRate: 120\nMaxParticles: 60\nLife: 0.3\nLifetime: -1\nVelocity: 0, 0, 0\nSpread: 0\n"
     "SizeStart: 4\nSizeEnd: 1\nColourStart: 120, 255, 200, 255\nColourEnd: 0, 160, 255, 0\nBlend: ADD\n"
     "EmitterSize: 0, 1, 0\n"},
    {"3213400.ZUS", 4,
     "Texture: SPARK.BMP\nEmitRate: 40\nMaxParticles: 30\nLife: 0.6\nLifetime: 1\nVelocity: 0, 15, 0\nSpread: 40\n"
     "SizeStart: 6\nSizeEnd: 1\nColourStart: 255, 240, 160, 255\nColourEnd: 255, 120, 0, 0\nBlend: ADD\n"
     "EmitterSize: 2, 2, 2\n"},
    {"3213401.ZUS", 4,
     "Texture: FIRE.BMP\nEmitRate: 30\nMaxParticles: 24\nLife: 0.5\nLifetime: 1\nVelocity: 0, 8, 0\nSpread: 60\n"
     "SizeStart: 8\nSizeEnd: 2\nColourStart: 255, 160, 60, 220\nColourEnd: 200, 40, 0, 0\nBlend: ADD\n"
     "EmitterSize: 3, 3, 3\n"},
    // The monsters' sparks: started and left to burn out.
    {"3218100.zus", 8,
     "Texture: SPARK.BMP\nEmitRate: 120\nMaxParticles: 24\nLife: 0.4\nLifetime: 0.2\nVelocity: 0, 40, 0\nSpread: 80\n"
     "Gravity: 0, -150, 0\nSizeStart: 4\nSizeEnd: 1\nColourStart: 255, 220, 140, 255\nColourEnd: 200, 90, 20, 0\n"
     "Blend: ADD\nEmitterSize: 3, 1, 3\n"},
    {"3218101.zus", 8,
     "Texture: SPARK.BMP\nEmitRate: 60\nMaxParticles: 16\nLife: 0.6\nLifetime: 0.2\nVelocity: 0, 15, 0\nSpread: 90\n"
     "SizeStart: 8\nSizeEnd: 3\nColourStart: 200, 180, 150, 160\nColourEnd: 120, 110, 100, 0\nBlend: ALPHA\n"
     "EmitterSize: 4, 1, 4\n"},
    {"3402600.zus", 8,
     "Texture: SPARK.BMP\nEmitRate: 200\nMaxParticles: 24\nLife: 0.3\nLifetime: 0.1\nVelocity: 0, 30, 0\nSpread: 70\n"
     "SizeStart: 3\nSizeEnd: 0.5\nColourStart: 200, 230, 255, 255\nColourEnd: 80, 120, 255, 0\nBlend: ADD\n"},
    {"3402601.zus", 8,
     "Texture: SPARK.BMP\nEmitRate: 100\nMaxParticles: 12\nLife: 0.2\nLifetime: 0.1\nVelocity: 0, 5, 0\nSpread: 30\n"
     "SizeStart: 8\nSizeEnd: 2\nColourStart: 255, 255, 255, 255\nColourEnd: 160, 200, 255, 0\nBlend: ADD\n"},
    {"3405401.ZUS", 12, "Texture: SPARK.BMP\nEmitRate: 20\nMaxParticles: 24\nLife: 0.8\nLifetime: 1\nVelocity: 0, 40, 0\n"
                        "Spread: 30\nColourStart: 160, 220, 255, 255\nColourEnd: 0, 80, 255, 0\nBlend: ADD\n"},
    {"3405402.ZUS", 12, "Texture: SPARK.BMP\nEmitRate: 20\nMaxParticles: 24\nLife: 0.8\nLifetime: 1\nVelocity: 0, 30, 0\n"
                        "Spread: 45\nColourStart: 255, 255, 255, 255\nColourEnd: 80, 160, 255, 0\nBlend: ADD\n"},
    {"3405403.ZUS", 12, "Texture: SPARK.BMP\nEmitRate: 20\nMaxParticles: 24\nLife: 0.8\nLifetime: 1\nVelocity: 0, 20, 0\n"
                        "Spread: 60\nColourStart: 200, 255, 255, 255\nColourEnd: 0, 160, 160, 0\nBlend: ADD\n"},
    {"3507200.ZUS", 8, "Texture: FIRE.BMP\nEmitRate: 60\nMaxParticles: 64\nLife: 0.7\nLifetime: 2\nVelocity: 0, 80, 0\n"
                       "Spread: 25\nGravity: 0, -60, 0\nSizeStart: 10\nSizeEnd: 2\nColourStart: 255, 200, 80, 255\n"
                       "ColourEnd: 255, 40, 0, 0\nBlend: ADD\n"},
    {"BIGSHOT.ZUS", 48, "Texture: SPARK.BMP\nEmitRate: 50\nMaxParticles: 40\nLife: 0.5\nLifetime: -1\nVelocity: 0, 10, 0\n"
                        "Spread: 90\nSizeStart: 15\nSizeEnd: 3\nColourStart: 255, 120, 255, 255\n"
                        "ColourEnd: 120, 0, 255, 0\nBlend: ADD\nEmitterSize: 10, 10, 10\n"},
    {"RAIN_S.ZUS", 1,
     "Texture: RAIN.BMP\nEmitRate: 150\nMaxParticles: 200\nLife: 0.9\nLifetime: -1\nVelocity: 0, -550, 0\nSpread: 2\n"
     "SizeStart: 1.2\nSizeEnd: 1.2\nColourStart: 200, 215, 255, 170\nColourEnd: 200, 215, 255, 120\nBlend: ALPHA\n"
     "EmitterSize: 150, 0, 150\n"},
    {"RAIN_M.ZUS", 1,
     "Texture: RAIN.BMP\nEmitRate: 300\nMaxParticles: 400\nLife: 0.9\nLifetime: -1\nVelocity: 0, -600, 0\nSpread: 2\n"
     "SizeStart: 1.5\nSizeEnd: 1.5\nColourStart: 200, 215, 255, 170\nColourEnd: 200, 215, 255, 120\nBlend: ALPHA\n"
     "EmitterSize: 150, 0, 150\n"},
    {"RAIN_L.ZUS", 1,
     "Texture: RAIN.BMP\nEmitRate: 600\nMaxParticles: 800\nLife: 0.9\nLifetime: -1\nVelocity: 0, -650, 0\nSpread: 3\n"
     "SizeStart: 2\nSizeEnd: 2\nColourStart: 200, 215, 255, 170\nColourEnd: 200, 215, 255, 120\nBlend: ALPHA\n"
     "EmitterSize: 150, 0, 150\n"},
};

// The stages' own particle systems: the monsters' sparks, the barrel
// bomb's fuse, the sparkling crate's two systems. Monsters 1003 and 1021
// ask for one spark by names that differ in letter case: the set names
// both, from the one file (a kind without a text reads another's file).
const ZusSample kStageSet[] = {
    {"3010600.zus", 2, "Texture: SPARK.BMP\nEmitRate: 30\nMaxParticles: 30\nLife: 0.6\nLifetime: 0.5\nVelocity: 0, 20, 0\n"
                       "Spread: 30\nColourStart: 255, 80, 80, 255\nColourEnd: 120, 0, 0, 0\nBlend: ADD\n"},
    {"BOMSPARK.ZUS", 4, "Texture: SPARK.BMP\nEmitRate: 60\nMaxParticles: 30\nLife: 0.3\nLifetime: -1\nVelocity: 0, 30, 0\n"
                        "Spread: 70\nGravity: 0, -100, 0\nSizeStart: 3\nSizeEnd: 0.5\n"
                        "ColourStart: 255, 255, 160, 255\nColourEnd: 255, 120, 0, 0\nBlend: ADD\n"},
    {"3010600.ZUS", 2, nullptr},
    {"3506400.zus", 2, "Texture: SPARK.BMP\nEmitRate: 40\nMaxParticles: 30\nLife: 0.8\nLifetime: 0.6\nVelocity: 0, 20, 0\n"
                       "Spread: 90\nSizeStart: 4\nSizeEnd: 1\nColourStart: 255, 255, 200, 255\n"
                       "ColourEnd: 255, 220, 80, 0\nBlend: ADD\nEmitterSize: 5, 2, 5\n"},
    {"3506401.zus", 2, "Texture: SPARK.BMP\nEmitRate: 20\nMaxParticles: 16\nLife: 1.0\nLifetime: 0.6\nVelocity: 0, 10, 0\n"
                       "Spread: 60\nSizeStart: 8\nSizeEnd: 2\nColourStart: 255, 255, 255, 200\n"
                       "ColourEnd: 200, 200, 255, 0\nBlend: ADD\n"},
};

struct Texture {
    const char *name;
    const char *folder;  // beside the files that name it
};

const Texture kTextures[] = {
    {"SPARK", "RESOURCE/PARTICLE"}, {"FIRE", "RESOURCE/PARTICLE"},  {"RAIN", "RESOURCE/PARTICLE"},
    {"COIN", "RESOURCE/FX/3406000"}, {"DROP1", "RESOURCE/ITEM/XDT"}, {"DROP2", "RESOURCE/ITEM/XDT"},
    {"ITEMA", "RESOURCE/ITEM/XDT"},  {"ITEMB", "RESOURCE/ITEM/XDT"}, {"GLOW1", "RESOURCE/FX/XDT"},
    {"GLOW2", "RESOURCE/FX/XDT"},    {"ORB", "RESOURCE/FX"},        {"PLANK1", "RESOURCE/FX/XDT"},
    {"PLANK2", "RESOURCE/FX/XDT"},
};

std::string SetText(const ZusSample *kinds, size_t count)
{
    std::string text = "KindNum:" + std::to_string(count) + "\n";
    for (size_t i = 0; i < count; ++i) {
        text += std::string("PrtSysKind:") + kinds[i].name + "," + std::to_string(kinds[i].count) + "\n";
    }
    return text;
}

}  // namespace

ParticleSet SampleStageParticleSet()
{
    ParticleSet set;
    for (const ZusSample &z : kStageSet) {
        ParticleKind kind;
        std::snprintf(kind.name, sizeof kind.name, "%s", z.name);
        kind.count = z.count;
        set.kinds.push_back(kind);
    }
    set.announced = static_cast<int32_t>(set.kinds.size());
    // The tuning menu keeps a set's group lines when it rewrites the kinds.
    set.groupNum = 1;
    set.groups.push_back({"sparks", {kStageSet[0].name, kStageSet[1].name}});
    return set;
}

namespace {

RwUInt8 Clamp(float v) { return static_cast<RwUInt8>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v)); }

bool WriteCard(const fs::path &root, const std::string &folder, const std::string &name, const char *texture,
               RwReal size, RwRGBA colour)
{
    RpClump *clump = BuildFxCard(texture, size, colour);
    if (clump == nullptr) {
        return false;
    }
    std::error_code error;
    fs::create_directories(root / folder, error);
    const bool ok = WriteClumpFile(clump, (root / folder / name).string().c_str());
    RpClumpDestroy(clump);
    return ok;
}

// A plank lying flat: kPlankWidth across x, kPlankDepth along z, seen from
// above and below.
bool WritePlank(const fs::path &root, const std::string &folder, const std::string &name, const char *texture)
{
    constexpr RwReal kPlankWidth = 24.0f;
    constexpr RwReal kPlankDepth = 9.0f;
    RpMaterial *material = TexturedMaterial(texture);
    if (material == nullptr) {
        return false;
    }
    const RwReal w = kPlankWidth * 0.5f;
    const RwReal d = kPlankDepth * 0.5f;
    const RwV3d corners[4] = {{-w, 0.0f, d}, {w, 0.0f, d}, {-w, 0.0f, -d}, {w, 0.0f, -d}};
    RpGeometry *g = BuildDoubleSidedPanel(corners, {255, 255, 255, 255}, material, material);
    RpMaterialDestroy(material);
    if (g == nullptr) {
        return false;
    }
    g->morphTarget[0].boundingSphere = {{0.0f, 0.0f, 0.0f}, w * 1.2f};
    RpClump *clump = SingleAtomicClump(g);
    if (clump == nullptr) {
        return false;
    }
    std::error_code error;
    fs::create_directories(root / folder, error);
    const bool ok = WriteClumpFile(clump, (root / folder / name).string().c_str());
    RpClumpDestroy(clump);
    return ok;
}

}  // namespace

RwImage *NewRgbaImage(RwInt32 width, RwInt32 height)
{
    RwImage *image = RwImageCreate(width, height, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    return image;
}

bool WriteText(const std::filesystem::path &path, const std::string &text)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

RwImage *MakeMaskImage(const RwImage *image)
{
    RwImage *mask = NewRgbaImage(image->width, image->height);
    if (mask == nullptr) {
        return nullptr;
    }
    for (RwInt32 y = 0; y < image->height; ++y) {
        const auto *in = reinterpret_cast<const RwRGBA *>(image->cpPixels + y * image->stride);
        auto *out = reinterpret_cast<RwRGBA *>(mask->cpPixels + y * mask->stride);
        for (RwInt32 x = 0; x < image->width; ++x) {
            out[x] = {in[x].alpha, in[x].alpha, in[x].alpha, 255};
        }
    }
    return mask;
}

const std::vector<std::string> &BigShotNames()
{
    static const std::vector<std::string> names = {
        "3209000", "Shockwave", "Tornado", "3211200",  "Vines",     "WingBall", "FrameSeq",
        "3214400", "Wings",     "Bugs",    "3216200",  "3213800",   "ThreePart", "3215400",
        "LitArrow", "FallStone", "3219700", "3219200", "Wave",      "3218400",  "Boss1102Shot"};
    return names;
}

const std::vector<int> &EffectModelIds()
{
    static const std::vector<int> ids = {3406000, 3405300, 3206400, 3507200, 3218500, 3405500};
    return ids;
}

RpClump *BuildFxCard(const char *textureName, RwReal size, RwRGBA colour)
{
    RpMaterial *material = TexturedMaterial(textureName);
    if (material == nullptr) {
        return nullptr;
    }
    const RwReal h = size * 0.5f;
    const RwV3d corners[4] = {{-h, -h, 0.0f}, {h, -h, 0.0f}, {-h, h, 0.0f}, {h, h, 0.0f}};
    RpGeometry *g = BuildDoubleSidedPanel(corners, colour, material, material);
    RpMaterialDestroy(material);
    if (g == nullptr) {
        return nullptr;
    }
    g->morphTarget[0].boundingSphere = {{0.0f, 0.0f, 0.0f}, h * 1.5f};
    return SingleAtomicClump(g);
}

RwImage *MakeFxImage(const std::string &name)
{
    const RwInt32 size = 32;
    RwImage *image = NewRgbaImage(size, size);
    if (image == nullptr) {
        return nullptr;
    }
    for (RwInt32 y = 0; y < size; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
        for (RwInt32 x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) - 15.5f) / 16.0f;
            const float dy = (static_cast<float>(y) - 15.5f) / 16.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float glow = r >= 1.0f ? 0.0f : (1.0f - r) * (1.0f - r);
            RwRGBA c = {0, 0, 0, 0};
            if (name == "SPARK" || name == "ORB") {
                c = {255, 255, 255, Clamp(glow * 255.0f)};
            } else if (name == "FIRE") {
                c = {255, Clamp(120.0f + 135.0f * glow), Clamp(60.0f * glow), Clamp(glow * 255.0f)};
            } else if (name == "RAIN") {
                // Thin falling streaks: a bright column every 8 texels,
                // broken into dashes down the picture.
                const bool streak = (x % 8 == 3) && ((y + x * 5) % 16 < 10);
                c = streak ? RwRGBA{210, 225, 255, 220} : RwRGBA{0, 0, 0, 0};
            } else if (name == "COIN") {
                // A gold disk with a darker rim and a bright "$" bar.
                const bool disk = r < 0.9f;
                const bool rim = r >= 0.75f;
                const bool bar = std::abs(x - 16) < 2 && y > 6 && y < 26;
                c = disk ? (bar ? RwRGBA{255, 250, 200, 255}
                                : (rim ? RwRGBA{180, 130, 20, 255} : RwRGBA{240, 200, 40, 255}))
                         : RwRGBA{0, 0, 0, 0};
            } else if (name == "DROP1" || name == "DROP2") {
                // A green crate, its lid lighter in the second frame.
                const bool edge = x < 3 || y < 3 || x > 28 || y > 28;
                const bool lid = y < 12;
                const RwUInt8 light = name == "DROP2" && lid ? 60 : 0;
                c = edge ? RwRGBA{20, 90, 20, 255}
                         : RwRGBA{static_cast<RwUInt8>(60 + light), static_cast<RwUInt8>(170 + light / 2), 60, 255};
            } else if (name == "ITEMA" || name == "ITEMB") {
                // Item cards: a red (A) or blue (B) diamond on white.
                const bool diamond = std::abs(x - 16) + std::abs(y - 16) < 12;
                c = diamond ? (name == "ITEMA" ? RwRGBA{220, 30, 30, 255} : RwRGBA{30, 60, 220, 255})
                            : RwRGBA{245, 245, 245, 255};
            } else if (name == "PLANK1" || name == "PLANK2") {
                // Boards across the bridge, the odd pieces' darker; nails at
                // the ends.
                const bool seam = y % 8 == 0;
                const bool nail = (x == 3 || x == 28) && y % 8 == 4;
                const int shade = name == "PLANK1" ? 0 : 40;
                const int grain = ((x * 7 + y * 3) % 11) * 3;
                c = nail ? RwRGBA{60, 60, 70, 255}
                         : (seam ? RwRGBA{70, 40, 20, 255}
                                 : RwRGBA{Clamp(170.0f - shade + grain / 2), Clamp(120.0f - shade + grain / 3),
                                          Clamp(60.0f - shade / 2), 255});
            } else if (name == "GLOW1" || name == "GLOW2") {
                const float ring = std::fabs(r - (name == "GLOW1" ? 0.4f : 0.7f));
                const float a = ring < 0.15f ? 1.0f - ring / 0.15f : 0.0f;
                c = {120, 255, 255, Clamp(a * 255.0f)};
            } else {
                RwImageDestroy(image);
                return nullptr;
            }
            row[x] = c;
        }
    }
    return image;
}

bool WriteFxData(const std::string &rootPath)
{
    const fs::path root(rootPath);
    bool ok = true;
    std::vector<std::string> files;
    auto text = [&](const std::string &name, const std::string &body) {
        ok = ok && WriteText(root / name, body);
        files.push_back(name);
    };

    // Particle sets and systems.
    const size_t effectKinds = sizeof kEffectSet / sizeof kEffectSet[0];
    text(std::string(ParticleFolder()) + "/EFFECT.PSS", SetText(kEffectSet, effectKinds));
    for (const ZusSample &z : kEffectSet) {
        text(std::string(ParticleFolder()) + "/" + z.name, z.text);
    }
    for (const ZusSample &z : kStageSet) {
        if (z.text != nullptr) {
            text(std::string(ParticleFolder()) + "/" + z.name, z.text);
        }
    }

    // Packages and their light.
    text("RESOURCE/FX/FXM.FXM", "PackageNum: 32\n");
    text("RESOURCE/FX/Light_Type_Fire_M.lit", "Type: POINT\nColour: 255, 140, 40\nRadius: 12\n");

    // Texture-animated drops and effects.
    text("RESOURCE/ITEM/XDT/DROP.XDT", "Model: DROP.DFF\nFrameNum: 2\nFrame: DROP1, 300\nFrame: DROP2, 300\nPlayCount: 0\n");
    text("RESOURCE/ITEM/XDT/4010100.XDT", "Model: ITEM.DFF\nFrameNum: 1\nFrame: ITEMA, 1000\nPlayCount: 0\n");
    text("RESOURCE/ITEM/XDT/4010200.XDT", "Model: ITEM.DFF\nFrameNum: 1\nFrame: ITEMB, 1000\nPlayCount: 0\n");
    text("RESOURCE/FX/XDT/3300100.XDT",
         "Model: GLOW.DFF\nFrameNum: 2\nFrame: GLOW1, 150\nFrame: GLOW2, 150\nScroll: 0.5, 0\nPlayCount: 2\n");
    const RwRGBA white = {255, 255, 255, 255};
    ok = ok && WriteCard(root, "RESOURCE/ITEM/XDT", "DROP.DFF", "DROP1", 30.0f, white);
    ok = ok && WriteCard(root, "RESOURCE/ITEM/XDT", "ITEM.DFF", "ITEMA", 30.0f, white);
    ok = ok && WriteCard(root, "RESOURCE/FX/XDT", "GLOW.DFF", "GLOW1", 40.0f, white);
    files.insert(files.end(), {"RESOURCE/ITEM/XDT/DROP.DFF", "RESOURCE/ITEM/XDT/ITEM.DFF", "RESOURCE/FX/XDT/GLOW.DFF"});
    // The bridge's two piece kinds: a plank lying across the bridge's way,
    // in two shades for the even and the odd pieces.
    text("RESOURCE/FX/XDT/0.XDT", "Model: PLANK.DFF\nFrameNum: 1\nFrame: PLANK1, 1000\nPlayCount: 0\n");
    text("RESOURCE/FX/XDT/1.XDT", "Model: PLANK.DFF\nFrameNum: 1\nFrame: PLANK2, 1000\nPlayCount: 0\n");
    ok = ok && WritePlank(root, "RESOURCE/FX/XDT", "PLANK.DFF", "PLANK1");
    files.push_back("RESOURCE/FX/XDT/PLANK.DFF");

    // The pools' models: the reward piece is a coin card; the others glow.
    for (int id : EffectModelIds()) {
        const std::string folder = "RESOURCE/FX/" + std::to_string(id);
        const std::string name = std::to_string(id) + ".DFF";
        ok = ok && WriteCard(root, folder, name, id == 3406000 ? "COIN" : "ORB", id == 3406000 ? 15.0f : 40.0f, white);
        files.push_back(folder + "/" + name);
    }

    // The big shots: look, life, reach and damage. The barrage's shot (3215400, ten a
    // second for ten seconds) takes its short life to reach its target and ends there,
    // instead of resting on it, so that a barrage shows a stream of shots, not a heap.
    for (const std::string &name : BigShotNames()) {
        const char *flight = name == "3215400" ? "Life: 0.5\nSpeed: 0\n" : "Life: 2\nSpeed: 60\n";
        text("RESOURCE/BIGSHOT/" + name + ".BSH", "Particle: BIGSHOT.ZUS\nModel: " + name + ".DFF\n" + flight +
                                                       "Radius: 10\nDamage: 30\nAttribute: 1\n");
        const std::string folder = "RESOURCE/FX/" + name;
        ok = ok && WriteCard(root, folder, name + ".DFF", "ORB", 50.0f, {255, 160, 255, 255});
        files.push_back(folder + "/" + name + ".DFF");
    }

    // Textures: on disk beside what names them, and in the pack's dictionary.
    PackWriter pack;
    for (const Texture &t : kTextures) {
        RwImage *image = MakeFxImage(t.name);
        if (image == nullptr) {
            return false;
        }
        std::error_code error;
        fs::create_directories(root / t.folder, error);
        ok = ok && RtBmpWrite(image, (root / t.folder / (std::string(t.name) + ".BMP")).string().c_str()) != nullptr;
        // The game reads a ".BMP" texture with its mask beside it, NAME + "A".
        RwImage *mask = MakeMaskImage(image);
        ok = ok && mask != nullptr &&
             RtBmpWrite(mask, (root / t.folder / (std::string(t.name) + "A.BMP")).string().c_str()) != nullptr;
        if (mask != nullptr) {
            RwImageDestroy(mask);
        }
        pack.AddTexture(t.name, (RwUInt32{rwTEXTUREADDRESSWRAP} << 12) | (RwUInt32{rwTEXTUREADDRESSWRAP} << 8) | rwFILTERLINEAR,
                        image);
    }
    for (const std::string &file : files) {
        ok = ok && pack.AddFileFrom(rootPath, file);
    }
    return ok && pack.Write((root / EffectsPackPath()).string());
}

}  // namespace mkdata
