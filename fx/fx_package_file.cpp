// The effect-package files' readers and writers (see fx_package_file.h).
#include "fx/fx_package_file.h"

#include <cstring>

#include "app/keyword.h"
#include "fx/fx_text.h"

bool LoadFxmFile(const char *path, FxmDesc *desc)
{
    *desc = FxmDesc{};
    CSKeywordFile file;
    if (!file.Open(path)) {
        return false;
    }
    ReadFxm(&file, desc);
    return true;
}

void ReadFxm(CSKeywordFile *file, FxmDesc *desc)
{
    while (file->NextLine()) {
        if (file->KeyIs("PackageNum:")) {
            file->Int(&desc->packageNum, 0, kMaxPackageNum);
        } else {
            file->Report("unknown keyword");
        }
    }
}

bool LoadLightFile(const char *path, FxLightDesc *desc)
{
    *desc = FxLightDesc{};
    CSKeywordFile file;
    if (!file.Open(path)) {
        return false;
    }
    ReadLight(&file, desc);
    return true;
}

void ReadLight(CSKeywordFile *source, FxLightDesc *desc)
{
    CSKeywordFile &file = *source;
    while (file.NextLine()) {
        if (file.KeyIs("Type:")) {
            char word[16];
            if (file.Word(word, sizeof word)) {
                if (std::strcmp(word, "POINT") == 0) {
                    desc->type = kFxLightPoint;
                } else {
                    file.Report("'%s' is not a light type (POINT)", word);
                }
            }
        } else if (file.KeyIs("Colour:")) {
            int32_t c[3];
            if (file.Ints(c, 3, 0, 255)) {
                desc->colour = {static_cast<RwUInt8>(c[0]), static_cast<RwUInt8>(c[1]), static_cast<RwUInt8>(c[2]),
                                255};
            }
        } else if (file.KeyIs("Radius:")) {
            file.Float(&desc->radius, 0.0f, 100000.0f);
        } else {
            file.Report("unknown keyword");
        }
    }
}

std::string FormatFxm(const FxmDesc &desc)
{
    FxTextWriter w;
    w.Line("PackageNum: %d", desc.packageNum);
    return w.Text();
}

std::string FormatLight(const FxLightDesc &desc)
{
    FxTextWriter w;
    w.Line("Type: POINT");
    w.Line("Colour: %d, %d, %d", desc.colour.red, desc.colour.green, desc.colour.blue);
    w.Line("Radius: %.9g", static_cast<double>(desc.radius));
    return w.Text();
}
