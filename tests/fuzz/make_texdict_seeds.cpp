// Writes seeds for the texture-dictionary fuzz target from the sample data
// tree: every BMP under DATA as one dictionary in each of the two layouts.
//   make_texdict_seeds DATA OUTDIR
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "rtbmp.h"
#include "tests/fuzz/fuzz_game_engine.h"

namespace {

constexpr RwUInt32 kImageChunk = 0x18;

bool Put(RwStream *out, const void *bytes, RwUInt32 n) { return RwStreamWrite(out, bytes, n) != nullptr; }

bool PutImage(RwStream *out, const RwImage *image)
{
    return RwStreamWriteChunkHeaderDefault(out, kImageChunk, rwCHUNKHEADERSIZE + RwImageStreamGetSize(image)) != nullptr &&
           RwImageStreamWrite(image, out) != nullptr;
}

bool PutName(RwStream *out, const std::string &text)
{
    char field[32] = {};
    text.copy(field, sizeof(field) - 1);
    return Put(out, field, sizeof(field));
}

// The dictionary body in `layout` (0 first, 1 second) for the images.
bool WriteDictionary(const std::vector<std::pair<std::string, RwImage *>> &images, RwUInt16 layout,
                     const std::string &path)
{
    RwStream *out = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, path.c_str());
    if (out == nullptr) {
        return false;
    }
    const RwUInt16 head[2] = {static_cast<RwUInt16>(images.size()), layout};
    bool ok = Put(out, head, sizeof(head));
    for (const auto &[name, image] : images) {
        if (layout == 0) {
            const RwUInt32 fields[2] = {1, 0x1102};
            ok = ok && PutName(out, name) && PutName(out, "") && Put(out, fields, sizeof(fields)) && PutImage(out, image);
        } else {
            const RwUInt32 levels = 1;
            RwTexture *texture = RwTextureCreate(nullptr);
            ok = ok && texture != nullptr && Put(out, &levels, 4) && PutImage(out, image);
            if (texture != nullptr) {
                RwTextureSetName(texture, name.c_str());
                ok = ok && RwTextureStreamWrite(texture, out) != nullptr;
                RwTextureDestroy(texture);
            }
        }
    }
    return RwStreamClose(out, nullptr) && ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3 || !fuzzgame::Started()) {
        std::fprintf(stderr, "usage: make_texdict_seeds DATA OUTDIR\n");
        return 2;
    }
    std::vector<std::pair<std::string, RwImage *>> images;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(argv[1])) {
        if (entry.path().extension() == ".BMP") {
            RwImage *image = RtBmpRead(entry.path().string().c_str());
            if (image != nullptr) {
                images.emplace_back(entry.path().stem().string(), image);
            }
        }
    }
    const std::string dir = argv[2];
    bool ok = !images.empty() && WriteDictionary(images, 0, dir + "/sample-first.pitexd") &&
              WriteDictionary(images, 1, dir + "/sample-second.pitexd");
    for (auto &entry : images) {
        RwImageDestroy(entry.second);
    }
    if (!ok) {
        std::fprintf(stderr, "make_texdict_seeds: could not write the seeds\n");
    }
    return ok ? 0 : 1;
}
