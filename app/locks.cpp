// The render and allocator locks (see locks.h).
#include "app/locks.h"

#include <cassert>
#include <mutex>

namespace {

std::recursive_mutex &RenderMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

std::recursive_mutex &AllocatorMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

thread_local int renderDepth = 0;
thread_local int allocatorDepth = 0;

}  // namespace

void EnterRenderLock()
{
    // Taking the render lock under the allocator lock could deadlock against
    // a thread that holds the render lock and allocates.
    assert(renderDepth > 0 || allocatorDepth == 0);
    RenderMutex().lock();
    ++renderDepth;
}

void LeaveRenderLock()
{
    assert(renderDepth > 0);
    --renderDepth;
    RenderMutex().unlock();
}

void EnterAllocatorLock()
{
    AllocatorMutex().lock();
    ++allocatorDepth;
}

void LeaveAllocatorLock()
{
    assert(allocatorDepth > 0);
    --allocatorDepth;
    AllocatorMutex().unlock();
}

int RenderLockDepth() { return renderDepth; }
int AllocatorLockDepth() { return allocatorDepth; }
