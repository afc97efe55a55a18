#pragma once

#include <cstdint>

// What the solver tells whoever watches it: the window is shown, the range is set, the bar is put
// back to empty, then stepped once at the start of every sweep, and closed when the solve ends.
// Ranges are 64-bit: a very large repeat count makes a budget that no 32-bit bar can hold.
class ProgressReport {
public:
    virtual ~ProgressReport() = default;
    virtual void Show() = 0;
    virtual void SetMax(std::int64_t max) = 0;
    virtual void Reset() = 0;
    virtual void Step() = 0;
    virtual void Close() = 0;
};

// For solves nobody watches: tests, benchmarks, batch runs.
class SilentProgress final : public ProgressReport {
public:
    void Show() override {}
    void SetMax(std::int64_t) override {}
    void Reset() override {}
    void Step() override {}
    void Close() override {}
};
