// Fuzz target: the pack reader. The input is a u16 list length, the
// `.LST` bytes, then the `.STR` bytes; the list is written where the pack
// layer looks for it and the stream is opened from memory, then every
// listed file is read back and the pack closed again.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/fatal.h"
#include "app/file.h"
#include "app/pack.h"
#include "app/pack_index.h"
#include "app/path.h"
#include "tests/fuzz/fuzz_engine.h"
#include "tests/fuzz/fuzz_scratch.h"

namespace {

void IgnoreFatal(const char *) {}

const std::string &Root()
{
    static const std::string root = [] {
        const std::string made = fuzzscratch::Folder("fuzz_pack");
        std::string packs = made + "/PACK";
        mkdir(packs.c_str(), 0700);
        SetDataRootPath(made.c_str());
        SetFatalErrorHandler(IgnoreFatal);
        return made;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzengine::Started() || size < 2) return 0;
    const size_t listSize = data[0] | (data[1] << 8);
    if (listSize > size - 2) return 0;
    const std::string list(reinterpret_cast<const char *>(data + 2), listSize);
    FILE *out = std::fopen((Root() + "/PACK/F.LST").c_str(), "wb");
    if (out == nullptr) return 0;
    std::fwrite(list.data(), 1, list.size(), out);
    std::fclose(out);

    RawFileBuffer memory{const_cast<uint8_t *>(data + 2 + listSize), static_cast<uint32_t>(size - 2 - listSize),
                         static_cast<uint32_t>(size - 2 - listSize)};
    if (zuOpenPackMemory("\\PACK\\F.STR", &memory)) {
        PackIndex index;
        std::string error;
        if (PackIndexBuild(list.data(), list.size(), memory.buffer, memory.fileSize, &index, &error)) {
            for (const PackRecord &record : index.records) {
                std::vector<uint8_t> bytes;
                zufReadAll(record.name.c_str(), &bytes);
            }
        }
        zuClosePackMemory(&memory);
    }
    return 0;
}
