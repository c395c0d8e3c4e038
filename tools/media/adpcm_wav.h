// ADPCM WAV files (Microsoft and IMA forms) encoded through libavcodec, for the
// sample data and the sound tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/media/wav_writer.h"

namespace media {

enum class Adpcm { Microsoft, Ima };

// 16-bit interleaved samples in, a whole WAV file out.
bool MakeAdpcmWav(Adpcm form, const PcmFormat &format, const std::vector<int16_t> &samples,
                  std::vector<uint8_t> *file, std::string *error);

}  // namespace media
