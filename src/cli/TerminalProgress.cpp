#include "cli/TerminalProgress.h"

#include <algorithm>
#include <cinttypes>
#include <limits>

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
constexpr int kBarWidth = 40;
}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream, bool drawBar)
    : stream_(stream), drawBar_(drawBar) {}

void TerminalProgress::Show() {}

void TerminalProgress::SetMax(std::int64_t max) {
    max_ = max;
    if (max - 1 > std::numeric_limits<std::int32_t>::max()) {
        std::fprintf(stream_,
                     "note: the sweep budget is %" PRId64
                     " sweeps; this solve will take a very long time (Ctrl-C stops it, and no "
                     "file is written then)\n",
                     max - 1);
    }
}

void TerminalProgress::Reset() {
    position_ = 0;
    lastDraw_ = std::chrono::steady_clock::now();
}

void TerminalProgress::Step() {
    ++position_;
    if (!drawBar_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ >= kRedrawInterval) {
        lastDraw_ = now;
        Draw();
    }
}

void TerminalProgress::Close() {
    if (drawn_) {
        Draw();
        std::fputc('\n', stream_);
        std::fflush(stream_);
        drawn_ = false;
    }
}

void TerminalProgress::Draw() {
    const long double fraction =
        max_ > 0 ? std::clamp(static_cast<long double>(position_) / static_cast<long double>(max_),
                              0.0L, 1.0L)
                 : 0.0L;
    const int filled = static_cast<int>(fraction * kBarWidth);
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i) {
        bar[i] = i < filled ? '#' : ' ';
    }
    bar[kBarWidth] = '\0';
    std::fprintf(stream_, "\r[%s] %" PRId64 " / %" PRId64 " sweeps", bar, position_, max_);
    std::fflush(stream_);
    drawn_ = true;
}
