// Presenting to a window: the rows a present shows, read in place until their holder
// changes them (then the window keeps its own copy, or takes their storage when they are
// about to be overwritten whole), and the opaque frame made of them only when someone
// asks for it. A present thus copies nothing our side of the display: a window in
// memory whose frames no one reads costs nothing a frame.
#include <cstring>

#include <emmintrin.h>

#include "win/window.h"
#include "window_backend.h"

namespace {

// Rows as a frame: copied tight and made opaque together, four pixels at a time.
void MakeOpaqueFrame(const win::FrameRows &rows, win::Frame *frame) {
    frame->width = rows.width;
    frame->height = rows.height;
    frame->pixels.resize(size_t(rows.width) * rows.height);
    const __m128i opaque = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
    for (uint32_t y = 0; y < rows.height; ++y) {
        const uint8_t *row = rows.bits + size_t(y) * rows.pitch;
        uint32_t *out = frame->pixels.data() + size_t(y) * rows.width;
        uint32_t x = 0;
        for (; x + 4 <= rows.width; x += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + size_t(x) * 4));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x), _mm_or_si128(p, opaque));
        }
        for (; x < rows.width; ++x) {
            uint32_t p;
            std::memcpy(&p, row + size_t(x) * 4, 4);
            out[x] = p | 0xFF000000u;
        }
    }
}

// Rows copied into `out` tight (four bytes a pixel, no padding between rows).
void CopyRowsTight(const win::FrameRows &rows, std::vector<uint8_t> *out) {
    const size_t rowBytes = size_t(rows.width) * 4;
    out->resize(rowBytes * rows.height);
    for (uint32_t y = 0; y < rows.height; ++y) {
        if (rowBytes) std::memcpy(out->data() + rowBytes * y, rows.bits + size_t(y) * rows.pitch, rowBytes);
    }
}

}  // namespace

void PlatformWindow::Present(const uint8_t *bits, uint32_t width, uint32_t height, uint32_t pitch) {
    std::vector<uint8_t> copy;
    CopyRowsTight(win::FrameRows{bits, width, height, pitch}, &copy);
    if (holder_) holder_->WindowLetGo();
    holder_ = nullptr;
    keptRows_.swap(copy);
    shownRows_ = win::FrameRows{keptRows_.data(), width, height, width * 4};
    lastFrameMade_ = false;
    ++presentCount_;
    backend_->Show(shownRows_);
}

void PlatformWindow::PresentInPlace(const win::FrameRows &rows, win::ShownRowsHolder *holder) {
    if (holder_ && holder_ != holder) holder_->WindowLetGo();
    holder_ = holder;
    shownRows_ = rows;
    lastFrameMade_ = false;
    ++presentCount_;
    backend_->Show(shownRows_);
}

void PlatformWindow::HandBackRows(win::ShownRowsHolder *holder) {
    if (!holder || holder != holder_) return;
    holder_ = nullptr;
    CopyRowsTight(shownRows_, &keptRows_);
    shownRows_.bits = keptRows_.data();
    shownRows_.pitch = shownRows_.width * 4;
}

void PlatformWindow::HandBackRowsWithStorage(win::ShownRowsHolder *holder, std::vector<uint8_t> *storage) {
    if (!holder || holder != holder_) return;
    const size_t rowBytes = size_t(shownRows_.width) * 4;
    if (storage->data() != shownRows_.bits || shownRows_.pitch != rowBytes ||
        storage->size() != rowBytes * shownRows_.height) {
        HandBackRows(holder);
        return;
    }
    holder_ = nullptr;
    // The rows move with their heap block: shownRows_ stays valid as it is.
    keptRows_.swap(*storage);
    storage->resize(keptRows_.size());
}

const win::Frame &PlatformWindow::LastPresentedFrame() const {
    if (!lastFrameMade_) {
        MakeOpaqueFrame(shownRows_, &lastFrame_);
        lastFrameMade_ = true;
    }
    return lastFrame_;
}

bool PlatformWindow::ReadDisplayedFrame(win::Frame *out) const {
    if (!KeepsFrames()) return false;
    // A window in memory displays its last frame.
    if (backend_->IsHeadless()) {
        *out = LastPresentedFrame();
        return true;
    }
    return backend_->ReadDisplayed(out);
}
