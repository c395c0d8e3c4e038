// The pack writer: a `.STR` stream (a platform-independent texture
// dictionary of images, then named file records) and its `.LST` list, in
// the formats the game's pack layer reads (app/pack_index.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rwcore.h"

namespace mkdata {

struct PackTexture {
    std::string name;
    std::string mask;
    RwUInt32 filterAddressing;  // bits 0-7 filter, 8-11 U, 12-15 V addressing
    RwImage *image;             // one level; owned by the writer
};

class PackWriter {
public:
    PackWriter() = default;
    ~PackWriter();
    PackWriter(const PackWriter &) = delete;
    PackWriter &operator=(const PackWriter &) = delete;

    // Takes over `image` (a 32-bit image).
    void AddTexture(const std::string &name, RwUInt32 filterAddressing, RwImage *image);
    // A file record: `name` is the path from "\RESOURCE" on, with backslashes.
    void AddFile(const std::string &name, std::vector<uint8_t> bytes);
    // Adds the file `root`/`name` (slashes turned, as on disk) as a record.
    bool AddFileFrom(const std::string &root, const std::string &name);

    // The stream's and the list's bytes.
    bool Build(std::vector<uint8_t> *str, std::string *list) const;
    // Writes `strPath` and the `.LST` beside it, making the folder.
    bool Write(const std::string &strPath) const;

private:
    std::vector<PackTexture> textures_;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files_;
};

// Writes the sample language pack under \USAPACK (the stages' packs are
// the sample stages', sample_stages.h).
bool WritePacks(const std::string &root);

// Where they go and what they hold, for the tests.
inline const char *StagePackPath() { return "PACK/STAGE1/2010000.STR"; }
inline const char *LanguagePackPath() { return "USAPACK/SAMPLE/LANGUAGE.STR"; }
inline const char *LanguageTextFile() { return "RESOURCE/SAMPLE/LANGUAGE.TXT"; }
inline const char *LanguageTextureName() { return "language"; }

}  // namespace mkdata
