// Our windows: what a window handle (HWND) points at. A window keeps its window-system
// state (styles, menu, outer position, show state, full screen) and shows presented frames
// through a backend: an SDL2 window on a real display, or a headless backend that keeps
// everything in memory (no SDL at all). Both behave the same towards the callers; only
// the headless one never touches the system.
//
// Frame metrics are fixed, not the window manager's: caption 19, menu 19, sizing frame 4,
// dialog frame 3, thin border 1, client edge 2 (pixels per side).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win/wintypes.h"

namespace win {

// A frame as shown in a window: X8R8G8B8 pixels (top byte always 0xFF), rows tight.
struct Frame {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t(y) * width + x]; }
};

// Rows of X8R8G8B8 pixels as they lie in memory: `pitch` bytes from one row to the
// next, the top byte of each pixel not shown.
struct FrameRows {
    const uint8_t *bits = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
};

// The holder of rows a window shows in place (a device's back buffer). The window calls
// it when it stops reading them (another holder's rows are shown, or the window goes),
// after which the holder changes them without a word.
class ShownRowsHolder {
public:
    virtual void WindowLetGo() = 0;

protected:
    ~ShownRowsHolder() = default;
};

enum class Backend {
    Auto,      // SDL when a real video driver can be opened, else headless
    Headless,  // memory only
    Sdl,       // SDL window on a display; creation fails without one (SDL's
               // windowless drivers, dummy and offscreen, do not count)
};

struct WindowDesc {
    std::string title = "window";
    int32_t x = 0;                      // outer top-left corner
    int32_t y = 0;
    uint32_t clientWidth = 640;
    uint32_t clientHeight = 480;
    DWORD style = 0x00CF0000u;          // WS_OVERLAPPEDWINDOW
    DWORD exStyle = 0;
    bool hasMenu = false;
    Backend backend = Backend::Auto;
    // Whether a headless window keeps the frames presented to it (its displayed frame,
    // the device's front buffer). A headless run that reads no displayed frame turns it
    // off: presents are then only counted, and the device need not draw frames that no
    // one reads. A window on a display always shows what it is given.
    bool keepsFrames = true;
};

class WindowBackend;

// Desktop (display) size used for the adapter's desktop mode. Tests may fix it; otherwise
// it is the SDL desktop when SDL video is open on a real driver, else 1280x1024.
void GetDesktopSize(uint32_t *width, uint32_t *height);
void SetDesktopSizeOverride(uint32_t width, uint32_t height);  // 0, 0 removes the override

}  // namespace win

struct PlatformMenu {};

struct PlatformWindow {
    // Made by win::CreatePlatformWindow, which picks the backend.
    PlatformWindow(const win::WindowDesc &desc, std::unique_ptr<win::WindowBackend> backend);
    ~PlatformWindow();
    PlatformWindow(const PlatformWindow &) = delete;
    PlatformWindow &operator=(const PlatformWindow &) = delete;

    // The window-system view (what the winuser.h calls answer).
    void GetClientSize(uint32_t *width, uint32_t *height) const;
    RECT GetOuterRect() const;
    bool IsMinimized() const;
    bool IsMaximized() const;
    LONG GetLong(INT index) const;
    LONG SetLong(INT index, LONG value);
    HMENU Menu() { return hasMenu_ ? &menu_ : nullptr; }
    void SetOuterRect(int32_t x, int32_t y, uint32_t width, uint32_t height, bool move, bool size);

    // What the user (or the game's own window management) does to the window.
    void SetClientSize(uint32_t width, uint32_t height);
    void Minimize();
    void Maximize();
    void Restore();

    // Presentation. In full screen the client area is the mode size and frames are shown
    // scaled to the display.
    void EnterFullscreen(uint32_t width, uint32_t height);
    void LeaveFullscreen();
    bool IsFullscreen() const { return fullscreen_; }
    // Shows a copy of the rows (they may change as soon as this returns).
    void Present(const uint8_t *bits, uint32_t width, uint32_t height, uint32_t pitch);
    // Shows the rows where they are, without copying them: the display takes them now,
    // and the window reads them again only to give its last frame. They must stay as
    // they are until `holder` hands them back (HandBackRows, before it changes or frees
    // them) or the window lets go of them (ShownRowsHolder::WindowLetGo).
    void PresentInPlace(const win::FrameRows &rows, win::ShownRowsHolder *holder);
    // The holder's rows are about to change: the window keeps its own copy of them.
    void HandBackRows(win::ShownRowsHolder *holder);
    // The holder's rows are about to be overwritten whole and are all of `storage` (tight
    // rows): the window keeps that storage as its copy and gives the holder its own in
    // exchange, sized like it, with whatever it holds. No pixel is copied.
    void HandBackRowsWithStorage(win::ShownRowsHolder *holder, std::vector<uint8_t> *storage);
    // A present to a window that keeps no frames (KeepsFrames false): counted only.
    void PresentUnkept() { ++presentCount_; }
    // The last frame presented, made opaque (empty before the first, and always for a
    // window that keeps no frames), and how many presents there were. The frame is made
    // from the rows shown when first asked for after a present.
    const win::Frame &LastPresentedFrame() const;
    uint64_t PresentCount() const { return presentCount_; }
    // What the display shows now: the SDL renderer's pixels read back (at the output size),
    // or the last presented frame for a headless window. False when nothing can be read
    // (a headless window that keeps no frames).
    bool ReadDisplayedFrame(win::Frame *out) const;
    bool IsHeadless() const;
    // Whether presented frames are kept or shown: always on a display; for a headless
    // window as WindowDesc::keepsFrames asked.
    bool KeepsFrames() const;
    const std::string &Title() const { return title_; }

private:
    void ApplyStyleToBackend();
    void FrameOffsets(int32_t *left, int32_t *top, int32_t *right, int32_t *bottom) const;

    std::unique_ptr<win::WindowBackend> backend_;
    std::string title_;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    LONG userData_ = 0;
    bool hasMenu_ = false;
    bool keepsFrames_ = true;
    PlatformMenu menu_;
    bool minimized_ = false;
    bool maximized_ = false;
    bool fullscreen_ = false;
    uint32_t modeWidth_ = 0;
    uint32_t modeHeight_ = 0;
    // What the last present showed: the holder's rows in place, or the window's own copy
    // of them in keptRows_ (holder_ null).
    win::FrameRows shownRows_;
    win::ShownRowsHolder *holder_ = nullptr;
    std::vector<uint8_t> keptRows_;
    // The last frame as LastPresentedFrame gives it, made when first asked for.
    mutable win::Frame lastFrame_;
    mutable bool lastFrameMade_ = true;
    uint64_t presentCount_ = 0;
};

namespace win {

// Creates a window; null when the requested backend cannot be opened.
HWND CreatePlatformWindow(const WindowDesc &desc);
void DestroyPlatformWindow(HWND window);

}  // namespace win
