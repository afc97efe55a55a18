#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "engine/ProgressReport.h"

// A progress bar on a terminal: the sweep count against the budget, redrawn a few times a second
// rather than at every sweep. Budgets that no 32-bit counter could hold are announced even when
// the output is not a terminal, because such a solve takes a very long time.
class TerminalProgress final : public ProgressReport {
public:
    TerminalProgress(std::FILE* stream, bool drawBar);
    void Show() override;
    void SetMax(std::int64_t max) override;
    void Reset() override;
    void Step() override;
    void Close() override;

    // Sweeps begun in the last solve.
    std::int64_t Sweeps() const { return position_; }

private:
    void Draw();

    std::FILE* stream_;
    bool drawBar_;
    bool drawn_ = false;
    std::int64_t max_ = 0;
    std::int64_t position_ = 0;
    std::chrono::steady_clock::time_point lastDraw_{};
};
