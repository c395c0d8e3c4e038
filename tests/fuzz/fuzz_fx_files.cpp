// Fuzz target: the effect files. The input is one keyword text read by
// every reader of the effects (particle systems, particle sets, texture
// animations, the package count, lights and big shots). Each result must
// stay within its bounds, and what a reader took must come back unchanged
// when its writer's text is read again.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/keyword.h"
#include "tests/fuzz/fuzz_keyword_round_trip.h"
#include "fx/bigshot_file.h"
#include "fx/fx_package_file.h"
#include "fx/particle_set_file.h"
#include "fx/xdt_file.h"
#include "fx/zus_file.h"

using fuzz::ExpectStable;
using fuzz::ReadAndFormat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto readZus = [](CSKeywordFile *f, ZusDesc *d) { ReadZus(f, d); };
    const auto readSet = [](CSKeywordFile *f, ParticleSet *d) { ReadParticleSet(f, d); };
    const auto readXdt = [](CSKeywordFile *f, XdtDesc *d) { ReadXdt(f, d); };
    const auto readFxm = [](CSKeywordFile *f, FxmDesc *d) { ReadFxm(f, d); };
    const auto readLight = [](CSKeywordFile *f, FxLightDesc *d) { ReadLight(f, d); };
    const auto readShot = [](CSKeywordFile *f, BigShotDesc *d) { ReadBigShot(f, d); };

    ZusDesc zus;
    const std::string zusText = ReadAndFormat(data, size, readZus, FormatZus, &zus);
    if (zus.maxParticles < 1 || zus.maxParticles > kZusMaxParticlesLimit) {
        __builtin_trap();
    }
    ExpectStable<ZusDesc>(zusText, readZus, FormatZus);

    ParticleSet set;
    const std::string setText = ReadAndFormat(data, size, readSet, FormatParticleSet, &set);
    if (set.kinds.size() > static_cast<size_t>(kMaxParticleKinds)) {
        __builtin_trap();
    }
    ExpectStable<ParticleSet>(setText, readSet, FormatParticleSet);

    XdtDesc xdt;
    const std::string xdtText = ReadAndFormat(data, size, readXdt, FormatXdt, &xdt);
    if (xdt.frames.size() > static_cast<size_t>(kXdtMaxFrames)) {
        __builtin_trap();
    }
    ExpectStable<XdtDesc>(xdtText, readXdt, FormatXdt);

    FxmDesc fxm;
    ExpectStable<FxmDesc>(ReadAndFormat(data, size, readFxm, FormatFxm, &fxm), readFxm, FormatFxm);
    FxLightDesc light;
    ExpectStable<FxLightDesc>(ReadAndFormat(data, size, readLight, FormatLight, &light), readLight, FormatLight);
    BigShotDesc shot;
    const std::string shotText = ReadAndFormat(data, size, readShot, FormatBigShot, &shot);
    if (std::strlen(shot.particle) >= kBigShotNameSize || std::strlen(shot.model) >= kBigShotNameSize) {
        __builtin_trap();
    }
    ExpectStable<BigShotDesc>(shotText, readShot, FormatBigShot);
    return 0;
}
