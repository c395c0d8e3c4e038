// The big-shot file's reader and writer (see bigshot_file.h).
#include "fx/bigshot_file.h"

#include <cstring>

#include "app/keyword.h"
#include "fx/fx_text.h"

bool LoadBigShotFile(const char *path, BigShotDesc *desc)
{
    CSKeywordFile file;
    if (!file.Open(path)) {
        return false;
    }
    ReadBigShot(&file, desc);
    return true;
}

void ReadBigShot(CSKeywordFile *source, BigShotDesc *desc)
{
    CSKeywordFile &file = *source;
    while (file.NextLine()) {
        if (file.KeyIs("Particle:")) {
            ReadFileNameValue(&file, desc->particle, sizeof desc->particle);
        } else if (file.KeyIs("Model:")) {
            ReadFileNameValue(&file, desc->model, sizeof desc->model);
        } else if (file.KeyIs("Life:")) {
            file.Float(&desc->life, 0.0f, 600.0f);
        } else if (file.KeyIs("Speed:")) {
            file.Float(&desc->speed, 0.0f, 100000.0f);
        } else if (file.KeyIs("Radius:")) {
            file.Float(&desc->radius, 0.0f, 100000.0f);
        } else if (file.KeyIs("Damage:")) {
            file.Int(&desc->damage, 0, 1000000);
        } else if (file.KeyIs("Attribute:")) {
            file.Int(&desc->attribute, 0, INT32_MAX);
        } else {
            file.Report("unknown keyword");
        }
    }
}

std::string FormatBigShot(const BigShotDesc &d)
{
    FxTextWriter w;
    if (d.particle[0] != '\0') {
        w.Line("Particle: %s", d.particle);
    }
    if (d.model[0] != '\0') {
        w.Line("Model: %s", d.model);
    }
    w.Line("Life: %.9g", static_cast<double>(d.life));
    w.Line("Speed: %.9g", static_cast<double>(d.speed));
    w.Line("Radius: %.9g", static_cast<double>(d.radius));
    w.Line("Damage: %d", d.damage);
    w.Line("Attribute: %d", d.attribute);
    return w.Text();
}
