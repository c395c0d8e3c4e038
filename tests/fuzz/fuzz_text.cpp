// Fuzz target: the interface's text files. The first byte picks the reader:
// even, the rest is a bitmap font file; odd, the rest is a message table's
// UTF-16LE text, split into lines as the file layer gives them. A font that
// reads is measured over its own codes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/font_file.h"
#include "app/message_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const uint8_t *body = data + 1;
    const size_t length = size - 1;
    std::string error;
    if ((data[0] & 1) == 0) {
        game::FontFile font;
        if (game::ReadFontFile(body, length, &font, &error)) {
            for (const game::FontGlyph &glyph : font.glyphs) {
                const game::FontGlyph *found = game::FindFontGlyph(font, glyph.code);
                if (found == nullptr || found->code != glyph.code ||
                    font.pages.at(found->page).size() < size_t(found->y + found->h) * font.pageWidth) {
                    __builtin_trap();
                }
            }
        }
        return 0;
    }
    std::u16string text;
    for (size_t i = 0; i + 1 < length; i += 2) {
        text.push_back(static_cast<char16_t>(body[i] | (body[i + 1] << 8)));
    }
    size_t at = 0;
    game::MessageTable table;
    game::ParseMessageTable(
        [&](std::u16string *line) {
            if (at >= text.size()) {
                return false;
            }
            const size_t end = text.find(u'\n', at);
            const size_t stop = end == std::u16string::npos ? text.size() : end + 1;
            line->assign(text, at, stop - at);
            at = stop;
            return true;
        },
        &table, &error);
    return 0;
}
