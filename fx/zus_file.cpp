// The particle-system file's reader and writer (see zus_file.h).
#include "fx/zus_file.h"

#include <cstring>

#include "app/keyword.h"
#include "fx/fx_text.h"

namespace {

bool ReadColour(CSKeywordFile *file, RwRGBA *colour)
{
    int32_t v[4];
    if (!file->Ints(v, 4, 0, 255)) {
        return false;
    }
    *colour = {static_cast<RwUInt8>(v[0]), static_cast<RwUInt8>(v[1]), static_cast<RwUInt8>(v[2]),
               static_cast<RwUInt8>(v[3])};
    return true;
}

bool ReadV3d(CSKeywordFile *file, RwV3d *out, float limit)
{
    float v[3];
    if (!file->Floats(v, 3, -limit, limit)) {
        return false;
    }
    *out = {v[0], v[1], v[2]};
    return true;
}

}  // namespace

void ReadZus(CSKeywordFile *file, ZusDesc *desc)
{
    constexpr float kBig = 1.0e6f;
    while (file->NextLine()) {
        if (file->KeyIs("Texture:")) {
            ReadFileNameValue(file, desc->texture, sizeof desc->texture);
        } else if (file->KeyIs("EmitRate:")) {
            file->Float(&desc->emitRate, 0.0f, kZusEmitRateLimit);
        } else if (file->KeyIs("MaxParticles:")) {
            file->Int(&desc->maxParticles, 1, kZusMaxParticlesLimit);
        } else if (file->KeyIs("Life:")) {
            file->Float(&desc->life, 0.001f, 1000.0f);
        } else if (file->KeyIs("Lifetime:")) {
            float v = 0.0f;
            if (file->Float(&v, -1.0f, kBig)) {
                if (v < 0.0f && v != -1.0f) {
                    file->Report("%g is neither -1 nor a time", static_cast<double>(v));
                } else {
                    desc->lifetime = v;
                }
            }
        } else if (file->KeyIs("Velocity:")) {
            ReadV3d(file, &desc->velocity, kBig);
        } else if (file->KeyIs("Spread:")) {
            file->Float(&desc->spread, 0.0f, 180.0f);
        } else if (file->KeyIs("Gravity:")) {
            ReadV3d(file, &desc->gravity, kBig);
        } else if (file->KeyIs("SizeStart:")) {
            file->Float(&desc->sizeStart, 0.0f, kBig);
        } else if (file->KeyIs("SizeEnd:")) {
            file->Float(&desc->sizeEnd, 0.0f, kBig);
        } else if (file->KeyIs("ColourStart:")) {
            ReadColour(file, &desc->colourStart);
        } else if (file->KeyIs("ColourEnd:")) {
            ReadColour(file, &desc->colourEnd);
        } else if (file->KeyIs("Blend:")) {
            char word[16];
            if (file->Word(word, sizeof word)) {
                if (std::strcmp(word, "ADD") == 0) {
                    desc->blend = kZusBlendAdd;
                } else if (std::strcmp(word, "ALPHA") == 0) {
                    desc->blend = kZusBlendAlpha;
                } else {
                    file->Report("'%s' is neither ADD nor ALPHA", word);
                }
            }
        } else if (file->KeyIs("EmitterSize:")) {
            RwV3d size;
            if (ReadV3d(file, &size, kBig)) {
                if (size.x < 0.0f || size.y < 0.0f || size.z < 0.0f) {
                    file->Report("a size below 0");
                } else {
                    desc->emitterSize = size;
                }
            }
        } else {
            file->Report("unknown keyword");
        }
    }
}

bool LoadZusFile(const char *path, ZusDesc *desc)
{
    *desc = ZusDesc{};
    CSKeywordFile file;
    if (!file.Open(path)) {
        return false;
    }
    ReadZus(&file, desc);
    return true;
}

std::string FormatZus(const ZusDesc &d)
{
    FxTextWriter w;
    if (d.texture[0] != '\0') {
        w.Line("Texture: %s", d.texture);
    }
    w.Line("EmitRate: %.9g", static_cast<double>(d.emitRate));
    w.Line("MaxParticles: %d", d.maxParticles);
    w.Line("Life: %.9g", static_cast<double>(d.life));
    w.Line("Lifetime: %.9g", static_cast<double>(d.lifetime));
    w.Line("Velocity: %.9g, %.9g, %.9g", static_cast<double>(d.velocity.x), static_cast<double>(d.velocity.y),
           static_cast<double>(d.velocity.z));
    w.Line("Spread: %.9g", static_cast<double>(d.spread));
    w.Line("Gravity: %.9g, %.9g, %.9g", static_cast<double>(d.gravity.x), static_cast<double>(d.gravity.y),
           static_cast<double>(d.gravity.z));
    w.Line("SizeStart: %.9g", static_cast<double>(d.sizeStart));
    w.Line("SizeEnd: %.9g", static_cast<double>(d.sizeEnd));
    w.Line("ColourStart: %d, %d, %d, %d", d.colourStart.red, d.colourStart.green, d.colourStart.blue,
           d.colourStart.alpha);
    w.Line("ColourEnd: %d, %d, %d, %d", d.colourEnd.red, d.colourEnd.green, d.colourEnd.blue, d.colourEnd.alpha);
    w.Line("Blend: %s", d.blend == kZusBlendAlpha ? "ALPHA" : "ADD");
    w.Line("EmitterSize: %.9g, %.9g, %.9g", static_cast<double>(d.emitterSize.x),
           static_cast<double>(d.emitterSize.y), static_cast<double>(d.emitterSize.z));
    return w.Text();
}
