#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/TerminalProgress.h"

namespace {

std::string Contents(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) {
        text += static_cast<char>(c);
    }
    return text;
}

TEST(TerminalProgress, DrawsTheSweepCountAFewTimesASecondAndEndsTheLine) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    TerminalProgress progress(stream, true);
    progress.Show();
    progress.SetMax(100001);
    progress.Reset();
    const auto start = std::chrono::steady_clock::now();
    long steps = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(450)) {
        progress.Step();
        ++steps;
    }
    progress.Close();
    const std::string text = Contents(stream);
    std::fclose(stream);
    EXPECT_NE(text.find("\r["), std::string::npos);
    EXPECT_NE(text.find(" / 100001 sweeps"), std::string::npos);
    EXPECT_NE(text.find(std::to_string(steps) + " / 100001 sweeps\n"), std::string::npos) << text;
    // Redrawn at most every 200 ms, not at every step: the closing draw and one or two more.
    std::size_t draws = 0;
    for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 1)) {
        ++draws;
    }
    EXPECT_GE(draws, 2u);
    EXPECT_LE(draws, 4u);
    EXPECT_EQ(progress.Sweeps(), steps);
}

TEST(TerminalProgress, AnnouncesBudgetsBeyond32BitsEvenWithoutABar) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    TerminalProgress progress(stream, false);
    progress.SetMax(100001);
    EXPECT_EQ(Contents(stream), "");
    progress.SetMax(21474836471);
    progress.Step();
    progress.Close();
    const std::string text = Contents(stream);
    std::fclose(stream);
    EXPECT_NE(text.find("21474836470 sweeps"), std::string::npos) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

}  // namespace
