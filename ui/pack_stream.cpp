// The streamed packs of the screens (see pack_stream.h).
#include "ui/pack_stream.h"

#include <algorithm>
#include <vector>

#include "app/debug.h"
#include "app/pack.h"

namespace {

// The language's copy of the pack when there is one, else the plain path.
RawFile *OpenLocalised(const std::string &path)
{
    std::vector<char> localised(path.size() + 64);
    if (zuLocalisePackPath(path.c_str(), localised.data(), localised.size())) {
        if (RawFile *file = RawFileOpen(localised.data())) {
            return file;
        }
    }
    return RawFileOpen(path.c_str());
}

}  // namespace

void UIPackStream::Request(const std::string &path)
{
    Close();
    path_ = path;
    state_ = kRequested;
}

UIPackStream::State UIPackStream::Step()
{
    switch (state_) {
    case kRequested:
        file_ = OpenLocalised(path_);
        buffer_ = file_ != nullptr ? RawFileBufferCreate(file_) : nullptr;
        if (buffer_ == nullptr) {
            DebugPrint("cannot stream %s\n", path_.c_str());
            Fail();
            break;
        }
        state_ = kReading;
        // An empty file is complete at once.
        if (buffer_->fileSize == 0) {
            RawFileClose(file_);
            file_ = nullptr;
            state_ = kComplete;
        }
        break;
    case kReading: {
        uint32_t got{};
        const uint32_t want = std::min(buffer_->capacity - bytesRead_, kRawFileBlock);
        if (!RawFileRead(file_, buffer_->buffer + bytesRead_, want, &got) || got == 0) {
            // Nothing more comes: the file shrank or the disc failed.
            DebugPrint("reading %s stopped at byte %u of %u\n", path_.c_str(), bytesRead_, buffer_->fileSize);
            Fail();
            break;
        }
        bytesRead_ += got;
        if (bytesRead_ > buffer_->fileSize) {
            // The file grew while it was read: what is in is no pack.
            DebugPrint("%s changed while it was read\n", path_.c_str());
            Fail();
        } else if (bytesRead_ == buffer_->fileSize) {
            RawFileClose(file_);
            file_ = nullptr;
            state_ = kComplete;
        }
        break;
    }
    default: break;
    }
    return state_;
}

UIPackStream::State UIPackStream::Finish()
{
    while (state_ == kRequested || state_ == kReading) {
        Step();
    }
    return state_;
}

void UIPackStream::Close()
{
    RawFileClose(file_);
    file_ = nullptr;
    RawFileBufferFree(buffer_);
    buffer_ = nullptr;
    bytesRead_ = 0;
    state_ = kIdle;
}

void UIPackStream::Fail()
{
    RawFileClose(file_);
    file_ = nullptr;
    RawFileBufferFree(buffer_);
    buffer_ = nullptr;
    state_ = kFailed;
}

bool UIPackStream::OpenPack() const
{
    if (state_ != kComplete) {
        return false;
    }
    PackOpenHook();
    return zuOpenPackMemory(path_.c_str(), buffer_);
}

void UIPackStream::CloseOpenedPack() const
{
    if (buffer_ != nullptr) {
        zuClosePackMemory(buffer_);
    }
}
