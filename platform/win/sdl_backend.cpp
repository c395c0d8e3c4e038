// A window on the real display through SDL2. Frames go through SDL's software renderer
// into a streaming texture, uploaded straight from the rows presented, scaled with
// letterboxing to the window's output; the renderer's pixels can be read back to check
// what is on screen.
#include <SDL.h>

#include <cstring>

#include "../common/system_library_calls.h"
#include "win/winuser.h"
#include "window_backend.h"

namespace win {
namespace {

class SdlBackend final : public WindowBackend {
public:
    SdlBackend(SDL_Window *window, SDL_Renderer *renderer) : window_(window), renderer_(renderer) {}
    ~SdlBackend() override {
        RW_SYSTEM_LIBRARY_CALLS;
        if (texture_) SDL_DestroyTexture(texture_);
        SDL_DestroyRenderer(renderer_);
        SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // With nothing of SDL left open, let it drop what it keeps process-wide (its
        // system-bus connection among others).
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }

    bool IsHeadless() const override { return false; }
    void GetClientSize(uint32_t *width, uint32_t *height) const override {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        *width = uint32_t(w < 0 ? 0 : w);
        *height = uint32_t(h < 0 ? 0 : h);
    }
    void SetClientSize(uint32_t width, uint32_t height) override {
        SDL_SetWindowSize(window_, int(width), int(height));
    }
    void GetClientOrigin(int32_t *x, int32_t *y) const override {
        int px = 0, py = 0;
        SDL_GetWindowPosition(window_, &px, &py);
        *x = px;
        *y = py;
    }
    void SetClientOrigin(int32_t x, int32_t y) override { SDL_SetWindowPosition(window_, x, y); }
    bool IsSystemMinimized() const override {
        return (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
    }
    void SetShowState(ShowState state) override {
        switch (state) {
        case ShowState::Normal: SDL_RestoreWindow(window_); break;
        case ShowState::Minimized: SDL_MinimizeWindow(window_); break;
        case ShowState::Maximized: SDL_MaximizeWindow(window_); break;
        }
    }
    void SetDecorations(bool caption, bool resizable) override {
        SDL_SetWindowBordered(window_, caption ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowResizable(window_, resizable ? SDL_TRUE : SDL_FALSE);
    }
    void SetFullscreen(bool on) override {
        SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    }
    void Show(const FrameRows &rows) override {
        RW_SYSTEM_LIBRARY_CALLS;
        if (rows.width == 0 || rows.height == 0) return;
        if (!texture_ || textureWidth_ != rows.width || textureHeight_ != rows.height) {
            if (texture_) SDL_DestroyTexture(texture_);
            // X8R8G8B8: the top byte of each pixel is not read, so the rows are taken as
            // they are (no pass making them opaque first), and drawn without blending.
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888,
                                         SDL_TEXTUREACCESS_STREAMING, int(rows.width),
                                         int(rows.height));
            if (!texture_) return;
            textureWidth_ = rows.width;
            textureHeight_ = rows.height;
        }
        SDL_UpdateTexture(texture_, nullptr, rows.bits, int(rows.pitch));
        SDL_RenderSetLogicalSize(renderer_, int(rows.width), int(rows.height));
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }
    bool ReadDisplayed(Frame *out) const override {
        RW_SYSTEM_LIBRARY_CALLS;
        int w = 0, h = 0;
        if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0 || w <= 0 || h <= 0) return false;
        out->width = uint32_t(w);
        out->height = uint32_t(h);
        out->pixels.assign(size_t(w) * size_t(h), 0);
        // Read in output pixels, whatever logical size is set for presenting.
        int lw = 0, lh = 0;
        SDL_RenderGetLogicalSize(renderer_, &lw, &lh);
        SDL_RenderSetLogicalSize(renderer_, 0, 0);
        const int rc = SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888,
                                            out->pixels.data(), w * 4);
        SDL_RenderSetLogicalSize(renderer_, lw, lh);
        if (rc != 0) return false;
        for (uint32_t &p : out->pixels) p |= 0xFF000000u;
        return true;
    }

private:
    SDL_Window *window_;
    SDL_Renderer *renderer_;
    SDL_Texture *texture_ = nullptr;
    uint32_t textureWidth_ = 0;
    uint32_t textureHeight_ = 0;
};

}  // namespace

// SDL's drivers that show nothing: what SDL falls back to without a display.
static bool WindowlessDriver(const char *driver) {
    return !driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0;
}

std::unique_ptr<WindowBackend> CreateSdlBackend(const WindowDesc &desc, int32_t clientX,
                                                int32_t clientY) {
    RW_SYSTEM_LIBRARY_CALLS;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    const char *driver = SDL_GetCurrentVideoDriver();
    if (WindowlessDriver(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_SHOWN;
    if (desc.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if ((desc.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window *window = SDL_CreateWindow(desc.title.c_str(), clientX, clientY,
                                          int(desc.clientWidth ? desc.clientWidth : 1),
                                          int(desc.clientHeight ? desc.clientHeight : 1), flags);
    if (!window) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_Renderer *renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::make_unique<SdlBackend>(window, renderer);
}

bool SdlDesktopSize(uint32_t *width, uint32_t *height) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    if (WindowlessDriver(SDL_GetCurrentVideoDriver())) return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) return false;
    *width = uint32_t(mode.w);
    *height = uint32_t(mode.h);
    return true;
}

}  // namespace win
