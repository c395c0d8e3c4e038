// The sample interface packs (see ui_packs.h).
#include "tools/mkdata/ui_packs.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/mkdata/character_model.h"
#include "tools/mkdata/lobby_data.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/pause_data.h"
#include "tools/mkdata/result_pictures.h"
#include "tools/mkdata/stage_files.h"
#include "tools/mkdata/ui_pictures.h"
#include "tools/mkdata/ui_text.h"

namespace mkdata {

namespace {

namespace fs = std::filesystem;

constexpr int kInterfaceSounds = 25;
// The selection's sky box is drawn round its camera with the far plane at
// 400: its corners (half size times the square root of three) stay nearer,
// or a turned box shows the clear colour in wedges where they are clipped.
constexpr RwReal kSkyBoxHalfSize = 200.0f;
// The selection's heroes stand about 15 units tall: from the selection's
// camera, which looks at 8 units up from 28 units away, the front hero's
// head comes near the top of the screen and its feet stand at the bottom.
constexpr RwReal kSelectionFigureScale = 7.0f;
inline const char *SkyBoxTexture() { return "SKYBOX"; }

bool WriteBytes(const fs::path &path, const std::string &bytes)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return !error && static_cast<bool>(out);
}

// An inward cube round the camera, seen from inside and out, textured with
// the sky picture and lit by its own colours.
RpClump *BuildSkyBox()
{
    constexpr RwUInt32 kFormat = rpGEOMETRYPOSITIONS | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT;
    RpGeometry *g = RpGeometryCreate(24, 24, kFormat);
    RpMaterial *material = RpMaterialCreate();
    RwTexture *texture = CreateTextureReference(SkyBoxTexture());
    if (g == nullptr || material == nullptr || texture == nullptr) {
        return nullptr;
    }
    RpMaterialSetTexture(material, texture);
    RwTextureDestroy(texture);
    const RwReal h = kSkyBoxHalfSize;
    // Each face: four corners (bottom left, bottom right, top left, top right
    // as seen from inside).
    const RwV3d faces[6][4] = {
        {{-h, -h, -h}, {h, -h, -h}, {-h, h, -h}, {h, h, -h}},  {{h, -h, h}, {-h, -h, h}, {h, h, h}, {-h, h, h}},
        {{-h, -h, h}, {-h, -h, -h}, {-h, h, h}, {-h, h, -h}},  {{h, -h, -h}, {h, -h, h}, {h, h, -h}, {h, h, h}},
        {{-h, h, -h}, {h, h, -h}, {-h, h, h}, {h, h, h}},      {{-h, -h, h}, {h, -h, h}, {-h, -h, -h}, {h, -h, -h}},
    };
    const RwTexCoords uvs[4] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    const RwRGBA shade[6] = {{255, 255, 255, 255}, {230, 230, 240, 255}, {210, 215, 235, 255},
                             {210, 215, 235, 255}, {255, 255, 255, 255}, {150, 150, 170, 255}};
    for (int f = 0; f < 6; ++f) {
        for (int k = 0; k < 4; ++k) {
            g->morphTarget[0].verts[f * 4 + k] = faces[f][k];
            g->texCoords[0][f * 4 + k] = uvs[k];
            g->preLitLum[f * 4 + k] = shade[f];
        }
        const RwUInt16 base = static_cast<RwUInt16>(f * 4);
        const RwUInt16 tris[4][3] = {{base, static_cast<RwUInt16>(base + 1), static_cast<RwUInt16>(base + 2)},
                                     {static_cast<RwUInt16>(base + 1), static_cast<RwUInt16>(base + 3),
                                      static_cast<RwUInt16>(base + 2)},
                                     {base, static_cast<RwUInt16>(base + 2), static_cast<RwUInt16>(base + 1)},
                                     {static_cast<RwUInt16>(base + 1), static_cast<RwUInt16>(base + 2),
                                      static_cast<RwUInt16>(base + 3)}};
        for (int t = 0; t < 4; ++t) {
            RpTriangle &tri = g->triangles[f * 4 + t];
            for (int k = 0; k < 3; ++k) {
                tri.vertIndex[k] = tris[t][k];
            }
            RpGeometryTriangleSetMaterial(g, &tri, material);
        }
    }
    RpMaterialDestroy(material);
    g->morphTarget[0].boundingSphere = {{0, 0, 0}, h * 1.74f};
    if (RpGeometryUnlock(g) == nullptr) {
        return nullptr;
    }
    return SingleAtomicClump(g);
}

bool WriteSelectionFiles(const std::string &root, PackWriter *pack, std::vector<std::string> *packed)
{
    const fs::path base(root);
    const CharacterLook looks[2] = {CharacterLook::kHero01, CharacterLook::kHero02};
    for (size_t i = 0; i < SelectionHeroes().size(); ++i) {
        const SelectionHeroFiles &hero = SelectionHeroes()[i];
        const fs::path folder = base / hero.folder;
        std::error_code error;
        fs::create_directories(folder, error);
        const std::string stem = std::string(hero.folder) + "/" + hero.name;
        // Turned to face the selection's camera.
        RpClump *clump = BuildCharacterClump(looks[i], kSelectionFigureScale);
        if (clump != nullptr) {
            const RwV3d up = {0.0f, 1.0f, 0.0f};
            RwFrameRotate(RpClumpGetFrame(clump), &up, 180.0f, rwCOMBINEPOSTCONCAT);
        }
        bool ok = !error && clump != nullptr && WriteClumpFile(clump, (base / (stem + ".DFF")).string().c_str());
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        RtAnimAnimation *animation = ok ? BuildScaledCharacterAnimation(kSelectionFigureScale) : nullptr;
        ok = animation != nullptr && WriteCharacterAnimation(animation, (base / (stem + ".ANM")).string()) &&
             WriteMotionFile((base / (stem + ".AMF")).string(), SelectionMotionTable());
        if (animation != nullptr) {
            RtAnimAnimationDestroy(animation);
        }
        for (const char *extension : {".DFF", ".ANM", ".AMF"}) {
            ok = ok && pack->AddFileFrom(root, stem + extension);
            packed->push_back(stem + extension);
        }
        if (!ok) {
            return false;
        }
    }
    RpClump *skyBox = BuildSkyBox();
    bool ok = skyBox != nullptr && WriteClumpFile(skyBox, (base / SelectionSkyBoxFolder() / "SKYBOX.DFF").string().c_str());
    if (skyBox != nullptr) {
        RpClumpDestroy(skyBox);
    }
    for (const char *file : {"/SKYBOX.DFF", "/SKYBOX.BMP"}) {
        ok = ok && pack->AddFileFrom(root, std::string(SelectionSkyBoxFolder()) + file);
        packed->push_back(std::string(SelectionSkyBoxFolder()) + file);
    }
    return ok;
}

// The 25 sounds the media files wrote, and WORD.TXT in both languages.
bool AddSoundsAndWords(const std::string &root, PackWriter *pack, std::vector<std::string> *packed)
{
    for (int i = 0; i < kInterfaceSounds; ++i) {
        if (!pack->AddFileFrom(root, "RESOURCE/MEDIA/SFX/" + std::to_string(6600000 + 10 * i) + ".WAV")) {
            return false;
        }
    }
    for (const char *language : {"ENG", "CHI"}) {
        const std::string name = std::string("RESOURCE/UITEXT/PLAYERUI/") + language + "/WORD.TXT";
        if (!WriteBytes(fs::path(root) / name, EncodeWordFile(SampleWords(language))) ||
            !pack->AddFileFrom(root, name)) {
            return false;
        }
        packed->push_back(name);
    }
    return true;
}

// The files of the named pictures into the pack (and the list of what is packed).
bool AddPictures(const std::string &root, const std::vector<std::string> &names, PackWriter *pack,
                 std::vector<std::string> *packed)
{
    for (const std::string &name : names) {
        const PictureSpec *spec = FindInterfacePicture(name);
        if (spec == nullptr) {
            return false;
        }
        for (const std::string &file : PictureFiles(*spec)) {
            if (!pack->AddFileFrom(root, file)) {
                return false;
            }
            packed->push_back(file);
        }
    }
    return true;
}

}  // namespace

const std::vector<InterfacePack> &InterfacePacks()
{
    static const std::vector<InterfacePack> packs = {
        {"WARNING", {"WARNING"}},
        {"COMMON", {"PLAYER", "WORD", "BASEMAP", "EQUIP"}},
        {"UIMAP", {"LOGO3", "LOGO", "COPYRIT", "SPBASE", "SELCHAR", "SAVLOD", "SLWORD", "STAGPHO", "OPTBASE", "OPTION"}},
        {"UISFX", {}},
        {"SELCHAR", {}},
        {"LOBBY", {"MAPBASE", "LOBBY"}},
        {"UISAVGAM", {"SAVLOD"}},
        {"UILOBBY", {"SLWORD", "STAGPHO"}},
        {"GAMEPLAY", {"BASE"}},
        {"SELSTAGE", {"SELSTAG"}},
        {"LOBYSTOR", {}},
        {"GAMEOVER", {"OVER_ENG", "OVER_CHI"}},
        {"CLEAR", {"RANKBAS", "CLEAR"}},
        {"RANKPIC1", RankPicturePictures(0), "PACK/UI1"},
        {"RANKPIC2", RankPicturePictures(1), "PACK/UI1"},
    };
    return packs;
}

const std::vector<SelectionHeroFiles> &SelectionHeroes()
{
    static const std::vector<SelectionHeroFiles> heroes = {{"RESOURCE/SELCHAR/ROREVOV", "UIBRE"},
                                                           {"RESOURCE/SELCHAR/ZEDEVI", "UIELV"}};
    return heroes;
}

const MotionTable &SelectionMotionTable()
{
    static const MotionTable table = [] {
        // 0 stands at rest on the turntable, 1 the confirm (the wave), 2
        // at rest again once it has played.
        MotionTable t;
        const int32_t restStart = static_cast<int32_t>(std::lround(kCharacterRestStart * 60.0f));
        const int32_t restEnd = static_cast<int32_t>(std::lround(kCharacterRestEnd * 60.0f));
        t.motions = {{restStart, restEnd, true}, {60, 120, true}, {restStart, restEnd, true}};
        return t;
    }();
    return table;
}

std::vector<std::u16string> SampleWords(const std::string &language)
{
    const std::u16string mark = language == "CHI" ? u"[CHI] " : u"";
    return {mark + u"Obtained: ", mark + u"Notice", mark + u"Return to the title?", mark + u"Yes", mark + u"No",
            mark + u"Take this off?"};
}

std::string EncodeWordFile(const std::vector<std::u16string> &words)
{
    std::u16string text = u"Count: ";
    for (char c : std::to_string(words.size())) {
        text.push_back(static_cast<char16_t>(c));
    }
    text += u"\r\n";
    for (const std::u16string &word : words) {
        text += word + u"\r\n";
    }
    return EncodeUtf16Le(text);
}

bool WriteInterfacePacks(const std::string &root)
{
    for (const PictureSpec &spec : InterfacePictures()) {
        if (!WritePictureFiles(root, spec)) {
            std::fprintf(stderr, "mkdata: the picture %s could not be written\n", spec.name.c_str());
            return false;
        }
    }
    std::vector<std::string> packed;
    for (const InterfacePack &entry : InterfacePacks()) {
        PackWriter pack;
        if (!AddPictures(root, entry.pictures, &pack, &packed)) {
            return false;
        }
        const std::string pack_name = entry.name;
        if (pack_name == "UISFX" && !AddSoundsAndWords(root, &pack, &packed)) {
            return false;
        }
        if (pack_name == "SELCHAR" && !WriteSelectionFiles(root, &pack, &packed)) {
            return false;
        }
        if (pack_name == "SELSTAGE" && !AddStageSelectFiles(root, &pack, &packed)) {
            return false;
        }
        if (pack_name == "LOBYSTOR" && !AddStoreFiles(root, &pack, &packed)) {
            return false;
        }
        const fs::path str = fs::path(root) / entry.folder / (pack_name + ".STR");
        if (!pack.Write(str.string())) {
            return false;
        }
    }
    for (const PagePack &entry : PagePacks()) {
        PackWriter pack;
        if (!AddPictures(root, entry.pictures, &pack, &packed)) {
            return false;
        }
        if (!pack.Write((fs::path(root) / entry.folder / (entry.name + ".STR")).string())) {
            return false;
        }
    }
    // What the packs hold is read from them only (the sounds stay on disc
    // for the stages' lists too).
    for (const std::string &file : packed) {
        std::error_code error;
        fs::remove(fs::path(root) / file, error);
    }
    return true;
}

}  // namespace mkdata
