// The game's two locks. The render lock guards every frame's drawing, the
// loading screen's drawing thread, texture loading, clump cloning and
// destruction, and the pack and file opens. The allocator lock guards the
// allocator and the engine's memory functions. Both are recursive. Where a
// thread takes both, it takes the render lock first: a debug build stops
// at a render lock entered while the allocator lock is held.
#pragma once

void EnterRenderLock();
void LeaveRenderLock();
void EnterAllocatorLock();
void LeaveAllocatorLock();

// How often the calling thread holds each lock (0 when it does not).
int RenderLockDepth();
int AllocatorLockDepth();

// Scope guards for the two locks.
class CSRenderLockGuard {
public:
    CSRenderLockGuard() { EnterRenderLock(); }
    ~CSRenderLockGuard() { LeaveRenderLock(); }
    CSRenderLockGuard(const CSRenderLockGuard &) = delete;
    CSRenderLockGuard &operator=(const CSRenderLockGuard &) = delete;
};

class CSAllocatorLockGuard {
public:
    CSAllocatorLockGuard() { EnterAllocatorLock(); }
    ~CSAllocatorLockGuard() { LeaveAllocatorLock(); }
    CSAllocatorLockGuard(const CSAllocatorLockGuard &) = delete;
    CSAllocatorLockGuard &operator=(const CSAllocatorLockGuard &) = delete;
};
