// The texture-animation descriptor's reader and writer (see xdt_file.h).
#include "fx/xdt_file.h"

#include <cstring>

#include "app/keyword.h"
#include "fx/fx_text.h"

int64_t XdtDesc::CycleMs() const
{
    int64_t total = 0;
    for (const XdtFrame &frame : frames) {
        total += frame.ms;
    }
    return total;
}

namespace {

bool ReadFrame(CSKeywordFile *file, XdtFrame *frame)
{
    const char *rest = TakeNameField(file->Rest(), frame->texture, sizeof frame->texture);
    if (!IsPlainFileName(frame->texture)) {
        file->Report("'%s' is not a texture name", frame->texture);
        return false;
    }
    if (rest == nullptr) {
        file->Report("no time after the texture");
        return false;
    }
    int32_t ms{};
    if (!ParseWholeNumber(rest, &ms) || ms < 1 || ms > 600000) {
        file->Report("'%s' is not a time of 1..600000 ms", rest);
        return false;
    }
    frame->ms = ms;
    return true;
}

}  // namespace

bool ReadXdt(CSKeywordFile *file, XdtDesc *desc)
{
    *desc = XdtDesc{};
    int32_t announced = -1;
    while (file->NextLine()) {
        if (file->KeyIs("Model:")) {
            ReadFileNameValue(file, desc->model, sizeof desc->model);
        } else if (file->KeyIs("FrameNum:")) {
            if (announced >= 0) {
                file->Report("a second FrameNum is ignored");
            } else if (file->Int(&announced, 0, kXdtMaxFrames)) {
                desc->frames.reserve(static_cast<size_t>(announced));
            } else {
                announced = 0;
            }
        } else if (file->KeyIs("Frame:")) {
            if (announced < 0) {
                file->Report("a frame before FrameNum is skipped");
            } else if (static_cast<int32_t>(desc->frames.size()) >= announced) {
                file->Report("more frames than FrameNum %d; skipped", announced);
            } else {
                XdtFrame frame;
                if (ReadFrame(file, &frame)) {
                    desc->frames.push_back(frame);
                }
            }
        } else if (file->KeyIs("Scroll:")) {
            float uv[2];
            if (file->Floats(uv, 2, -1000.0f, 1000.0f)) {
                desc->scrollU = uv[0];
                desc->scrollV = uv[1];
            }
        } else if (file->KeyIs("PlayCount:")) {
            file->Int(&desc->playCount, 0, 1000000);
        } else {
            file->Report("unknown keyword");
        }
    }
    if (desc->model[0] == '\0') {
        file->Report("no model");
        return false;
    }
    return true;
}

bool LoadXdtFile(const char *path, XdtDesc *desc)
{
    *desc = XdtDesc{};
    CSKeywordFile file;
    return file.Open(path) && ReadXdt(&file, desc);
}

std::string FormatXdt(const XdtDesc &d)
{
    FxTextWriter w;
    w.Line("Model: %s", d.model);
    w.Line("FrameNum: %d", static_cast<int32_t>(d.frames.size()));
    for (const XdtFrame &frame : d.frames) {
        w.Line("Frame: %s, %d", frame.texture, frame.ms);
    }
    if (d.scrollU != 0.0f || d.scrollV != 0.0f) {
        w.Line("Scroll: %.9g, %.9g", static_cast<double>(d.scrollU), static_cast<double>(d.scrollV));
    }
    w.Line("PlayCount: %d", d.playCount);
    return w.Text();
}
