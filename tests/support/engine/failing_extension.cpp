// The on-demand failing extension for creator tests (see failing_extension.h).
#include "support/engine/failing_extension.h"

namespace rwtest {
namespace {

bool armed = false;
int constructed = 0;
int destroyed = 0;

void *Construct(void *object, RwInt32, RwInt32)
{
    if (armed) {
        return nullptr;
    }
    ++constructed;
    return object;
}

void *Destruct(void *object, RwInt32, RwInt32)
{
    ++destroyed;
    return object;
}

}  // namespace

RwInt32 FailingExtension::Attach(RwPluginRegistry *registry, RwUInt32 pluginID)
{
    return RwPluginRegistryAddPlugin(registry, 4, pluginID, Construct, Destruct, nullptr);
}

void FailingExtension::Arm(bool on) { armed = on; }
int FailingExtension::Constructed() { return constructed; }
int FailingExtension::Destroyed() { return destroyed; }

void FailingExtension::Reset()
{
    armed = false;
    constructed = 0;
    destroyed = 0;
}

}  // namespace rwtest
