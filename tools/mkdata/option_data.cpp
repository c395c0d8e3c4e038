// The options screen's sample pictures (see option_data.h).
#include "tools/mkdata/option_data.h"

#include <string>

namespace mkdata {
namespace {

PictureCell C(const std::string &label, float x0, float y0, float x1, float y1, float hueShift = 0.0f,
              float value = 0.7f)
{
    PictureCell cell{label, x0, y0, x1, y1};
    cell.hueShift = hueShift;
    cell.value = value;
    return cell;
}

// A piece that is stretched or too small for a border: one colour to its edge.
PictureCell Plain(float x0, float y0, float x1, float y1, float value, float hueShift = 0.0f, RwUInt8 alpha = 255)
{
    PictureCell cell = C("", x0, y0, x1, y1, hueShift, value);
    cell.borderless = true;
    cell.alpha = alpha;
    return cell;
}

// A row-name picture: the names stand where the page's rows are drawn
// (screen rows 24.5 apart from y 185, the picture from y 180).
void RowNames(std::vector<PictureCell> *cells, float s0, float s1, float t0, float t1, float screenHeight,
              const std::vector<std::string> &names)
{
    const float scale = (t1 - t0) / screenHeight;
    for (size_t r = 0; r < names.size(); ++r) {
        const float y = static_cast<float>(static_cast<int>(185.0f + 24.5f * static_cast<float>(r))) - 180.0f;
        cells->push_back(C(names[r], s0, t0 + y * scale, s1, t0 + (y + 20.0f) * scale, 0.0f, 0.55f));
    }
}

std::vector<PictureCell> OptionCells()
{
    std::vector<PictureCell> cells;
    cells.push_back(C("OPTIONS", 413, 12, 494, 33));
    cells.push_back(Plain(395, 35, 511, 63, 0.35f, 0.0f, 160));  // the row bar (and the page bar)
    cells.push_back(Plain(400, 35, 460, 36, 0.5f));              // the mouse-speed bar
    cells.push_back(Plain(300, 35, 360, 36, 0.95f, 40.0f));      // ... on its row
    cells.push_back(Plain(280, 40, 370, 50, 0.95f, 40.0f));      // the page marker
    static const char *const kRows[6] = {"Music", "Sound", "Key Binding", "Mouse Speed", "Defaults", "Exit"};
    for (int r = 0; r < 6; ++r) {
        const float t0 = 341.0f + 22.0f * static_cast<float>(r);
        cells.push_back(C(kRows[r], 383, t0, 510, t0 + 21.0f));
        cells.push_back(C(std::string("> ") + kRows[r], 1, t0, 128, t0 + 21.0f, 60.0f, 0.95f));
    }
    cells.push_back(Plain(357, 473, 360, 494, 0.25f));        // an empty block
    cells.push_back(Plain(351, 474, 356, 493, 1.0f, 60.0f));  // a filled block on the selected row
    cells.push_back(Plain(345, 474, 350, 493, 0.75f));        // a filled block
    cells.push_back(C("<", 467, 473, 488, 494, 60.0f, 0.95f));
    cells.push_back(C(">", 489, 473, 510, 494, 60.0f, 0.95f));
    cells.push_back(Plain(494, 478, 506, 490, 1.0f, 180.0f));  // the listen mark (inside ">")
    cells.push_back(C("|", 250, 460, 275, 505, 40.0f, 0.95f));  // the knob
    cells.push_back(C("slow", 386, 317, 435, 335));
    cells.push_back(C("fast", 442, 317, 500, 335));
    cells.push_back(C("Mouse", 95, 25, 145, 55, 120.0f));
    cells.push_back(C("Keyboard", 165, 25, 235, 55, 120.0f));
    cells.push_back(C("Game pad", 10, 25, 80, 55, 120.0f));
    cells.push_back(C(">", 220, 478, 235, 488, 60.0f, 0.95f));  // the pointer
    RowNames(&cells, 340, 500, 77, 290, 200, {"Square", "Triangle", "Circle", "Cross", "R2", "L2", "R1", "L1"});
    RowNames(&cells, 170, 330, 77, 290, 200,
             {"R stick Y+", "R stick Y-", "R stick X-", "R stick X+", "L stick Y+", "L stick Y-", "L stick X-",
              "L stick X+"});
    RowNames(&cells, 10, 170, 77, 235, 145, {"Up", "Down", "Left", "Right", "Start", "Select"});
    return cells;
}

}  // namespace

std::vector<PictureSpec> OptionPictures()
{
    PictureSpec base;
    base.name = "OPTBASE";
    base.folder = "RESOURCE/UITEXT/OPTION";
    base.perLanguage = false;
    base.width = base.height = 512;
    base.hue = 240;
    base.mask = false;
    base.cells = {C("OPTBASE", 0, 0, 512, 96)};
    PictureSpec panel;
    panel.name = "OPTION";
    panel.folder = "RESOURCE/UITEXT/OPTION";
    panel.perLanguage = true;
    panel.width = panel.height = 512;
    panel.hue = 190;
    panel.mask = true;
    panel.backgroundAlpha = 0;
    panel.cells = OptionCells();
    return {base, panel};
}

}  // namespace mkdata
