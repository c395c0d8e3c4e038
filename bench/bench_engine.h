// The engine started with the game's plug-ins for the length of a
// benchmark, on the tests' fake device.
#pragma once

#include "app/plugins.h"
#include "support/engine/engine_env.h"

namespace bench {

struct EngineUp {
    explicit EngineUp(RwUInt32 arenaSize = 1 << 20)
    {
        ok = rwtest::EngineStartUp(nullptr, arenaSize, game::AttachPlugins);
    }
    ~EngineUp()
    {
        if (ok) {
            rwtest::EngineShutDown();
        }
    }
    EngineUp(const EngineUp &) = delete;
    EngineUp &operator=(const EngineUp &) = delete;
    bool ok = false;
};

}  // namespace bench
