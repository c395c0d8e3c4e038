// The engine's reason for a refused read (see chunk_read.h).
#include "app/chunk_read.h"

namespace game {

std::string TakeEngineError(const char *otherwise)
{
    RwError error{};
    RwErrorGet(&error);
    if (error.errorCode == E_RW_NOERROR) {
        return otherwise;
    }
    RwChar text[512];
    RwErrorFormat(&error, nullptr, text, static_cast<RwInt32>(sizeof(text)));
    return text;
}

}  // namespace game
