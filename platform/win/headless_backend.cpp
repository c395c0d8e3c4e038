// A window that exists only in memory: sizes and show state are whatever was asked for,
// and the display is the last frame shown (which the window itself keeps).
#include "window_backend.h"

namespace win {
namespace {

class HeadlessBackend final : public WindowBackend {
public:
    HeadlessBackend(uint32_t width, uint32_t height, int32_t x, int32_t y)
        : width_(width), height_(height), x_(x), y_(y) {}

    bool IsHeadless() const override { return true; }
    void GetClientSize(uint32_t *width, uint32_t *height) const override {
        *width = width_;
        *height = height_;
    }
    void SetClientSize(uint32_t width, uint32_t height) override {
        width_ = width;
        height_ = height;
    }
    void GetClientOrigin(int32_t *x, int32_t *y) const override {
        *x = x_;
        *y = y_;
    }
    void SetClientOrigin(int32_t x, int32_t y) override {
        x_ = x;
        y_ = y;
    }
    bool IsSystemMinimized() const override { return false; }
    void SetShowState(ShowState) override {}
    void SetDecorations(bool, bool) override {}
    void SetFullscreen(bool) override {}
    // Nothing to take: the window keeps what it presents.
    void Show(const FrameRows &) override {}
    bool ReadDisplayed(Frame *) const override { return false; }

private:
    uint32_t width_;
    uint32_t height_;
    int32_t x_;
    int32_t y_;
};

}  // namespace

std::unique_ptr<WindowBackend> CreateHeadlessBackend(const WindowDesc &desc, int32_t clientX,
                                                     int32_t clientY) {
    return std::make_unique<HeadlessBackend>(desc.clientWidth, desc.clientHeight, clientX,
                                             clientY);
}

}  // namespace win
