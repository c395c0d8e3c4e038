// The system side of a window: where it is, how big its client area is, its show state
// and what it displays. PlatformWindow keeps the window-system state on top of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "win/window.h"

namespace win {

enum class ShowState { Normal, Minimized, Maximized };

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual bool IsHeadless() const = 0;
    virtual void GetClientSize(uint32_t *width, uint32_t *height) const = 0;
    virtual void SetClientSize(uint32_t width, uint32_t height) = 0;
    virtual void GetClientOrigin(int32_t *x, int32_t *y) const = 0;
    virtual void SetClientOrigin(int32_t x, int32_t y) = 0;
    // Whether the system reports the window minimised (beyond what PlatformWindow asked for).
    virtual bool IsSystemMinimized() const = 0;
    virtual void SetShowState(ShowState state) = 0;
    virtual void SetDecorations(bool caption, bool resizable) = 0;
    virtual void SetFullscreen(bool on) = 0;
    // Shows rows scaled to the whole output, keeping their aspect. The rows may change
    // once this returns: a display takes what it shows now.
    virtual void Show(const FrameRows &rows) = 0;
    // What a display shows now; a window in memory displays its last presented frame,
    // which the window gives itself (false here).
    virtual bool ReadDisplayed(Frame *out) const = 0;
};

std::unique_ptr<WindowBackend> CreateHeadlessBackend(const WindowDesc &desc, int32_t clientX,
                                                     int32_t clientY);
// Null when SDL video cannot be opened on a display (only its windowless
// drivers, dummy or offscreen, can be).
std::unique_ptr<WindowBackend> CreateSdlBackend(const WindowDesc &desc, int32_t clientX,
                                                int32_t clientY);

// Desktop size of the first display when SDL video is open on a real driver.
bool SdlDesktopSize(uint32_t *width, uint32_t *height);

// Frame thickness of each side of a window of this style, in our fixed metrics.
void FrameMetrics(DWORD style, bool menu, DWORD exStyle, int32_t *left, int32_t *top,
                  int32_t *right, int32_t *bottom);

}  // namespace win
