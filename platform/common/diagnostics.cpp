// The platform layer's diagnostic lines (see common/diagnostics.h).
#include "common/diagnostics.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace plat {

namespace {

std::atomic<DiagnosticSink> sink{nullptr};

}  // namespace

void SetDiagnosticSink(DiagnosticSink next) { sink.store(next); }

bool HasDiagnosticSink() { return sink.load() != nullptr; }

void DiagnosticV(const char *format, va_list args)
{
    const DiagnosticSink to = sink.load();
    if (to == nullptr || format == nullptr) {
        return;
    }
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) {
        return;
    }
    std::string line(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(line.data(), line.size(), format, args);
    line.resize(static_cast<size_t>(length));
    if (line.back() != '\n') {
        line += '\n';
    }
    to(line.c_str());
}

void Diagnostic(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    DiagnosticV(format, args);
    va_end(args);
}

}  // namespace plat
