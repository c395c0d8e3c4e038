// Writes the sample fonts and message tables.
#include "tools/mkdata/ui_text.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/file.h"
#include "app/message_box.h"
#include "tools/mkdata/font_builder.h"

namespace mkdata {

namespace {

// The name text k of entry 22 belongs to stage number kStageOfName[k].
constexpr int kStageOfName[29] = {1,  2,  3,  4,  5,  6,  10, 8,  15, 16, 40, 17, 19, 22, 25,
                                  27, 41, 23, 28, 29, 31, 33, 30, 32, 42, 34, 36, 37, 38};

bool WriteFileBytes(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool ReadBytes(const std::filesystem::path &path, std::string *bytes)
{
    std::ifstream file(path, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return static_cast<bool>(file) || file.eof();
}

bool SameFont(const game::FontFile &a, const game::FontFile &b)
{
    if (a.lineHeight != b.lineHeight || a.baseline != b.baseline || a.pageWidth != b.pageWidth ||
        a.pageHeight != b.pageHeight || a.pages != b.pages || a.glyphs.size() != b.glyphs.size()) {
        return false;
    }
    for (size_t i = 0; i < a.glyphs.size(); ++i) {
        const game::FontGlyph &p = a.glyphs[i];
        const game::FontGlyph &q = b.glyphs[i];
        if (p.code != q.code || p.page != q.page || p.x != q.x || p.y != q.y || p.w != q.w || p.h != q.h ||
            p.xOffset != q.xOffset || p.yOffset != q.yOffset || p.advance != q.advance) {
            return false;
        }
    }
    return true;
}

bool WriteFont(const std::filesystem::path &path, const game::FontFile &font)
{
    const std::vector<uint8_t> bytes = game::WriteFontFile(font);
    if (!WriteFileBytes(path, std::string(bytes.begin(), bytes.end()))) {
        return false;
    }
    std::string back;
    game::FontFile read;
    std::string error;
    if (!ReadBytes(path, &back) ||
        !game::ReadFontFile(reinterpret_cast<const uint8_t *>(back.data()), back.size(), &read, &error) ||
        !SameFont(font, read)) {
        std::fprintf(stderr, "mkdata: %s does not read back: %s\n", path.string().c_str(), error.c_str());
        return false;
    }
    return true;
}

bool SameTable(const game::MessageTable &a, const game::MessageTable &b)
{
    if (a.entries.size() != b.entries.size()) {
        return false;
    }
    for (size_t i = 0; i < a.entries.size(); ++i) {
        if (a.entries[i].id != b.entries[i].id || a.entries[i].texts != b.entries[i].texts) {
            return false;
        }
    }
    return true;
}

// The table as the game reads it.
game::MessageTable ReadBackTable(const std::string &bytes, std::string *error)
{
    game::MessageTable table;
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    if (file != nullptr) {
        ReadMessageTableFile(file, &table, error);
        zufclose(file);
    }
    return table;
}

bool WriteTable(const std::filesystem::path &path, const game::MessageTable &table)
{
    if (!WriteFileBytes(path, EncodeUtf16Le(game::FormatMessageTable(table)))) {
        return false;
    }
    std::string back;
    std::string error;
    if (!ReadBytes(path, &back) || !SameTable(table, ReadBackTable(back, &error))) {
        std::fprintf(stderr, "mkdata: %s does not read back: %s\n", path.string().c_str(), error.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool BuildSampleFont(game::FontFile *font, std::string *error)
{
    FontBuildSpec spec;
    spec.outlinePath = SampleOutlineFontPath();
    spec.pixelSize = 16;
    spec.codes = SampleFontCodes();
    return BuildBitmapFont(spec, font, error);
}

game::MessageTable SampleMessageTable(const std::string &code)
{
    const std::u16string mark = code == "ENG" ? u"" : u"[" + Widen(code) + u"] ";
    game::MessageTable table;
    // The mark goes where a text starts on screen: the first text of an
    // entry and every stage name.
    auto add = [&](int32_t id, std::vector<std::u16string> texts) {
        for (size_t i = 0; i < texts.size(); ++i) {
            if (i == 0 || id == 22) {
                texts[i] = mark + texts[i];
            }
        }
        table.entries.push_back({std::move(texts), id});
    };
    add(1, {u"Cannot find the file: "});
    add(13, {u"The game could not be saved in slot", u"\u2013 check that the disk has room", u" and try again."});
    add(18, {u"Overwrite the saved game in this slot?", u"Yes", u"No"});
    add(21, {u"Please wait"});
    std::vector<std::u16string> names;
    for (int stage : kStageOfName) {
        names.push_back(u"Stage " + Widen(std::to_string(stage)));
    }
    add(22, names);
    return table;
}

std::string EncodeUtf16Le(const std::u16string &text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

bool WriteUiText(const std::string &root)
{
    std::error_code error;
    const std::filesystem::path fonts = std::filesystem::path(root) / FontFolder();
    const std::filesystem::path messages = std::filesystem::path(root) / MessageFolder();
    std::filesystem::create_directories(fonts, error);
    std::filesystem::create_directories(messages, error);
    if (error) {
        return false;
    }
    game::FontFile font;
    std::string why;
    if (!BuildSampleFont(&font, &why)) {
        std::fprintf(stderr, "mkdata: %s\n", why.c_str());
        return false;
    }
    return WriteFont(fonts / "ENGFONT.XBF", font) && WriteFont(fonts / "CHIFONT.XBF", font) &&
           WriteTable(messages / "ENG.TCR", SampleMessageTable("ENG")) &&
           WriteTable(messages / "CHI.TCR", SampleMessageTable("CHI"));
}

}  // namespace mkdata
