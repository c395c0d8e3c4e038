// Our windows: the window-system state (styles, menu, show state, full screen) kept over
// a backend, and the choice of backend at creation.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "win/window.h"
#include "win/winuser.h"
#include "window_backend.h"

namespace win {

namespace {
uint32_t gDesktopOverrideWidth = 0;
uint32_t gDesktopOverrideHeight = 0;
}  // namespace

void GetDesktopSize(uint32_t *width, uint32_t *height) {
    if (gDesktopOverrideWidth && gDesktopOverrideHeight) {
        *width = gDesktopOverrideWidth;
        *height = gDesktopOverrideHeight;
        return;
    }
    if (SdlDesktopSize(width, height)) return;
    *width = 1280;
    *height = 1024;
}

void SetDesktopSizeOverride(uint32_t width, uint32_t height) {
    gDesktopOverrideWidth = width;
    gDesktopOverrideHeight = height;
}

void FrameMetrics(DWORD style, bool menu, DWORD exStyle, int32_t *left, int32_t *top,
                  int32_t *right, int32_t *bottom) {
    int32_t edge = 0;
    if (style & WS_THICKFRAME) {
        edge = 4;
    } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        edge = 3;
    } else if (style & WS_BORDER) {
        edge = 1;
    }
    if (exStyle & WS_EX_CLIENTEDGE) edge += 2;
    *left = *right = *bottom = edge;
    *top = edge;
    if ((style & WS_CAPTION) == WS_CAPTION) *top += 19;
    if (menu) *top += 19;
}

HWND CreatePlatformWindow(const WindowDesc &desc) {
    int32_t left, top, right, bottom;
    FrameMetrics(desc.style, desc.hasMenu, desc.exStyle, &left, &top, &right, &bottom);
    const int32_t clientX = desc.x + left;
    const int32_t clientY = desc.y + top;
    std::unique_ptr<WindowBackend> backend;
    switch (desc.backend) {
    case Backend::Headless:
        backend = CreateHeadlessBackend(desc, clientX, clientY);
        break;
    case Backend::Sdl:
        backend = CreateSdlBackend(desc, clientX, clientY);
        break;
    case Backend::Auto: {
        const char *headless = std::getenv("RW_HEADLESS");
        if (!(headless && headless[0] && std::strcmp(headless, "0") != 0)) {
            backend = CreateSdlBackend(desc, clientX, clientY);
        }
        if (!backend) backend = CreateHeadlessBackend(desc, clientX, clientY);
        break;
    }
    }
    if (!backend) return nullptr;
    return new PlatformWindow(desc, std::move(backend));
}

void DestroyPlatformWindow(HWND window) { delete window; }

}  // namespace win

PlatformWindow::PlatformWindow(const win::WindowDesc &desc,
                               std::unique_ptr<win::WindowBackend> backend)
    : backend_(std::move(backend)),
      title_(desc.title),
      style_(desc.style & ~(WS_MINIMIZE | WS_MAXIMIZE)),
      exStyle_(desc.exStyle),
      hasMenu_(desc.hasMenu),
      keepsFrames_(desc.keepsFrames) {
    if (desc.style & WS_MAXIMIZE) Maximize();
    if (desc.style & WS_MINIMIZE) Minimize();
}

PlatformWindow::~PlatformWindow() {
    if (holder_) holder_->WindowLetGo();
}

bool PlatformWindow::IsHeadless() const { return backend_->IsHeadless(); }

bool PlatformWindow::KeepsFrames() const { return keepsFrames_ || !backend_->IsHeadless(); }

void PlatformWindow::FrameOffsets(int32_t *left, int32_t *top, int32_t *right,
                                  int32_t *bottom) const {
    if (fullscreen_) {
        *left = *top = *right = *bottom = 0;
        return;
    }
    win::FrameMetrics(style_, hasMenu_, exStyle_, left, top, right, bottom);
}

void PlatformWindow::GetClientSize(uint32_t *width, uint32_t *height) const {
    if (fullscreen_) {
        *width = modeWidth_;
        *height = modeHeight_;
        return;
    }
    backend_->GetClientSize(width, height);
}

RECT PlatformWindow::GetOuterRect() const {
    int32_t left, top, right, bottom;
    FrameOffsets(&left, &top, &right, &bottom);
    int32_t x = 0, y = 0;
    uint32_t w = 0, h = 0;
    GetClientSize(&w, &h);
    if (!fullscreen_) backend_->GetClientOrigin(&x, &y);
    RECT r;
    r.left = x - left;
    r.top = y - top;
    r.right = x + LONG(w) + right;
    r.bottom = y + LONG(h) + bottom;
    return r;
}

bool PlatformWindow::IsMinimized() const { return minimized_ || backend_->IsSystemMinimized(); }
bool PlatformWindow::IsMaximized() const { return maximized_ && !IsMinimized(); }

LONG PlatformWindow::GetLong(INT index) const {
    switch (index) {
    case GWL_STYLE: {
        DWORD style = style_;
        if (IsMinimized()) style |= WS_MINIMIZE;
        if (IsMaximized()) style |= WS_MAXIMIZE;
        return LONG(style);
    }
    case GWL_EXSTYLE: return LONG(exStyle_);
    case GWL_USERDATA: return userData_;
    default: return 0;
    }
}

LONG PlatformWindow::SetLong(INT index, LONG value) {
    const LONG previous = GetLong(index);
    switch (index) {
    case GWL_STYLE: {
        const DWORD style = DWORD(value);
        style_ = style & ~(WS_MINIMIZE | WS_MAXIMIZE);
        ApplyStyleToBackend();
        if (style & WS_MINIMIZE) {
            if (!IsMinimized()) Minimize();
        } else if (style & WS_MAXIMIZE) {
            if (!IsMaximized()) Maximize();
        } else if (IsMinimized() || IsMaximized()) {
            Restore();
        }
        break;
    }
    case GWL_EXSTYLE: exStyle_ = DWORD(value); break;
    case GWL_USERDATA: userData_ = value; break;
    default: return 0;
    }
    return previous;
}

void PlatformWindow::ApplyStyleToBackend() {
    if (fullscreen_) return;
    backend_->SetDecorations((style_ & WS_CAPTION) == WS_CAPTION, (style_ & WS_THICKFRAME) != 0);
}

void PlatformWindow::SetOuterRect(int32_t x, int32_t y, uint32_t width, uint32_t height,
                                  bool move, bool size) {
    if (fullscreen_) return;  // a full-screen window keeps the display
    int32_t left, top, right, bottom;
    FrameOffsets(&left, &top, &right, &bottom);
    if (size) {
        const int64_t cw = int64_t(width) - left - right;
        const int64_t ch = int64_t(height) - top - bottom;
        backend_->SetClientSize(uint32_t(std::max<int64_t>(cw, 0)),
                                uint32_t(std::max<int64_t>(ch, 0)));
    }
    if (move) backend_->SetClientOrigin(x + left, y + top);
}

void PlatformWindow::SetClientSize(uint32_t width, uint32_t height) {
    backend_->SetClientSize(width, height);
}

void PlatformWindow::Minimize() {
    minimized_ = true;
    backend_->SetShowState(win::ShowState::Minimized);
}

void PlatformWindow::Maximize() {
    minimized_ = false;
    maximized_ = true;
    backend_->SetShowState(win::ShowState::Maximized);
}

void PlatformWindow::Restore() {
    minimized_ = false;
    maximized_ = false;
    backend_->SetShowState(win::ShowState::Normal);
}

void PlatformWindow::EnterFullscreen(uint32_t width, uint32_t height) {
    modeWidth_ = width;
    modeHeight_ = height;
    if (!fullscreen_) {
        fullscreen_ = true;
        backend_->SetFullscreen(true);
    }
}

void PlatformWindow::LeaveFullscreen() {
    if (!fullscreen_) return;
    fullscreen_ = false;
    backend_->SetFullscreen(false);
    ApplyStyleToBackend();
}
