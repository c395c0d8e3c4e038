// The pack writer and the sample packs (see pack_writer.h).
#include "tools/mkdata/pack_writer.h"

#include <filesystem>
#include <fstream>
#include <iterator>


namespace mkdata {

namespace {

constexpr RwUInt32 kDictionaryChunk = 0x23;
constexpr RwUInt32 kImageChunk = 0x18;

void PutU32(std::vector<uint8_t> *out, RwUInt32 v)
{
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void PutU16(std::vector<uint8_t> *out, RwUInt32 v)
{
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void PutName(std::vector<uint8_t> *out, const std::string &name)
{
    std::string field = name.substr(0, 31);
    field.resize(32, '\0');
    out->insert(out->end(), field.begin(), field.end());
}

void PutChunkHeader(std::vector<uint8_t> *out, RwUInt32 type, RwUInt32 length)
{
    PutU32(out, type);
    PutU32(out, length);
    PutU32(out, RwLibraryStampMake(0x35000, 0xFFFF));
}

// An image chunk (type 0x18) around the engine's image stream chunk.
bool PutImageChunk(std::vector<uint8_t> *out, const RwImage *image)
{
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    if (stream == nullptr) {
        return false;
    }
    const bool ok = RwImageStreamWrite(image, stream) != nullptr;
    RwMemoryDescriptor written{nullptr, 0};
    RwStreamClose(stream, &written);
    if (ok) {
        PutChunkHeader(out, kImageChunk, written.length);
        out->insert(out->end(), written.start, written.start + written.length);
    }
    RwFree(written.start);
    return ok;
}

std::string GamePathOf(const std::string &name)
{
    std::string path = "\\" + name;
    for (char &c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

bool ReadFile(const std::filesystem::path &path, std::vector<uint8_t> *bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

bool WriteFile(const std::filesystem::path &path, const void *data, size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char *>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

// Letters of 3 x 5 cells, rows from the top, bit 2 the left cell.
struct Glyph {
    char letter;
    uint8_t rows[5];
};
constexpr Glyph kGlyphs[] = {
    {'U', {5, 5, 5, 5, 7}},
    {'S', {7, 4, 7, 1, 7}},
    {'A', {2, 5, 7, 5, 5}},
};

// The language pack's picture: "USA" in white on blue, 2 pixels a cell.
RwImage *MakeLanguageImage()
{
    constexpr RwInt32 kWidth = 32;
    constexpr RwInt32 kHeight = 16;
    RwImage *image = RwImageCreate(kWidth, kHeight, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    for (RwInt32 y = 0; y < kHeight; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
        for (RwInt32 x = 0; x < kWidth; ++x) {
            row[x] = {30, 60, 160, 255};
        }
    }
    for (int g = 0; g < 3; ++g) {
        for (int cy = 0; cy < 5; ++cy) {
            for (int cx = 0; cx < 3; ++cx) {
                if ((kGlyphs[g].rows[cy] >> (2 - cx) & 1) == 0) {
                    continue;
                }
                for (int py = 0; py < 2; ++py) {
                    for (int px = 0; px < 2; ++px) {
                        const RwInt32 x = 3 + g * 9 + cx * 2 + px;
                        const RwInt32 y = 3 + cy * 2 + py;
                        reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride)[x] = {255, 255, 255, 255};
                    }
                }
            }
        }
    }
    return image;
}

bool WriteLanguagePack(const std::string &root)
{
    const std::filesystem::path text = std::filesystem::path(root) / LanguageTextFile();
    std::error_code error;
    std::filesystem::create_directories(text.parent_path(), error);
    const std::string content = "Language: 1\nName: USA\n";
    if (error || !WriteFile(text, content.data(), content.size())) {
        return false;
    }
    RwImage *image = MakeLanguageImage();
    if (image == nullptr) {
        return false;
    }
    PackWriter pack;
    pack.AddTexture(LanguageTextureName(), (RwUInt32{rwTEXTUREADDRESSCLAMP} << 12) | (RwUInt32{rwTEXTUREADDRESSCLAMP} << 8) | rwFILTERNEAREST,
                    image);
    return pack.AddFileFrom(root, LanguageTextFile()) &&
           pack.Write((std::filesystem::path(root) / LanguagePackPath()).string());
}

}  // namespace

PackWriter::~PackWriter()
{
    for (PackTexture &texture : textures_) {
        RwImageDestroy(texture.image);
    }
}

void PackWriter::AddTexture(const std::string &name, RwUInt32 filterAddressing, RwImage *image)
{
    textures_.push_back({name, std::string(), filterAddressing, image});
}

void PackWriter::AddFile(const std::string &name, std::vector<uint8_t> bytes)
{
    files_.emplace_back(name, std::move(bytes));
}

bool PackWriter::AddFileFrom(const std::string &root, const std::string &name)
{
    std::vector<uint8_t> bytes;
    if (!ReadFile(std::filesystem::path(root) / name, &bytes)) {
        return false;
    }
    AddFile(GamePathOf(name), std::move(bytes));
    return true;
}

bool PackWriter::Build(std::vector<uint8_t> *str, std::string *list) const
{
    std::vector<uint8_t> dictionary;
    PutU16(&dictionary, static_cast<RwUInt32>(textures_.size()));
    PutU16(&dictionary, 0);  // the first layout: names, then the level images
    for (const PackTexture &texture : textures_) {
        PutName(&dictionary, texture.name);
        PutName(&dictionary, texture.mask);
        PutU32(&dictionary, 1);
        PutU32(&dictionary, texture.filterAddressing);
        if (!PutImageChunk(&dictionary, texture.image)) {
            return false;
        }
    }
    str->clear();
    PutChunkHeader(str, kDictionaryChunk, static_cast<RwUInt32>(dictionary.size()));
    str->insert(str->end(), dictionary.begin(), dictionary.end());
    list->clear();
    for (const auto &[name, bytes] : files_) {
        *list += name + "\t" + std::to_string(str->size()) + "\t" + std::to_string(bytes.size()) + "\n";
        PutU32(str, static_cast<RwUInt32>(name.size()));
        str->insert(str->end(), name.begin(), name.end());
        PutU32(str, static_cast<RwUInt32>(bytes.size()));
        str->insert(str->end(), bytes.begin(), bytes.end());
    }
    return true;
}

bool PackWriter::Write(const std::string &strPath) const
{
    std::vector<uint8_t> str;
    std::string list;
    if (!Build(&str, &list)) {
        return false;
    }
    const std::filesystem::path path(strPath);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::filesystem::path listPath = path;
    listPath.replace_extension(".LST");
    return !error && WriteFile(path, str.data(), str.size()) && WriteFile(listPath, list.data(), list.size());
}

bool WritePacks(const std::string &root) { return WriteLanguagePack(root); }

}  // namespace mkdata
