// Streaming a page pack from disc (see streamed_pack.h).
#include "ui/streamed_pack.h"

#include <vector>

#include "app/debug.h"
#include "app/pack.h"
#include "app/rawfile.h"

void StreamedPack::Start(const std::string &strPath)
{
    Reset();
    strPath_ = strPath;
    state_ = State::streaming;
}

void StreamedPack::GiveUp(const char *why)
{
    DebugPrint("page pack %s: %s, going on without it\n", strPath_.c_str(), why);
    CloseFile();
    RawFileBufferFree(buffer_);
    buffer_ = nullptr;
    cursor_ = 0;
    state_ = State::failed;
}

void StreamedPack::CloseFile()
{
    RawFileClose(file_);
    file_ = nullptr;
}

void StreamedPack::Step()
{
    if (state_ != State::streaming) {
        return;
    }
    if (file_ == nullptr) {
        std::vector<char> found(strPath_.size() + 64);
        const char *path = zuFindPackPath(strPath_.c_str(), found.data(), found.size()) ? found.data()
                                                                                        : strPath_.c_str();
        file_ = RawFileOpen(path);
        if (file_ == nullptr) {
            GiveUp("the stream cannot be opened");
            return;
        }
        buffer_ = RawFileBufferCreate(file_);
        if (buffer_ == nullptr) {
            GiveUp("the stream's size cannot be read");
            return;
        }
        if (buffer_->fileSize == 0) {
            GiveUp("the stream is empty");
            return;
        }
        cursor_ = 0;
        return;
    }
    const uint32_t left = buffer_->fileSize - cursor_;
    const uint32_t want = left < kRawFileBlock ? left : kRawFileBlock;
    uint32_t got = 0;
    if (!RawFileRead(file_, buffer_->buffer + cursor_, want, &got)) {
        GiveUp("a read failed");
        return;
    }
    if (got == 0) {
        GiveUp("the stream ended early");
        return;
    }
    cursor_ += got;
    if (cursor_ >= buffer_->fileSize) {
        CloseFile();
        state_ = State::ready;
    }
}

void StreamedPack::Finish()
{
    // Every step either reads at least one byte or ends the stream, so
    // this ends after at most the file's blocks plus the open.
    while (state_ == State::streaming) {
        Step();
    }
}

bool StreamedPack::OpenPack()
{
    if (state_ != State::ready || buffer_ == nullptr) {
        return false;
    }
    PackOpenHook();
    return zuOpenPackMemory(strPath_.c_str(), buffer_);
}

void StreamedPack::ClosePack()
{
    if (buffer_ != nullptr) {
        zuClosePackMemory(buffer_);
    }
}

void StreamedPack::Reset()
{
    CloseFile();
    RawFileBufferFree(buffer_);
    buffer_ = nullptr;
    cursor_ = 0;
    state_ = State::idle;
}
