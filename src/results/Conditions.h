#pragma once

#include <cstdint>
#include <string_view>

#include "engine/Simulation.h"

// The solver conditions the program starts with: 1 nm mesh spacing, 300 K, a repeat count of
// 10000 and an applied-voltage step of 0.01 V.
void StoreStartupConditions(Simulation& model);

// The smallest repeat count the program runs with; smaller counts are raised to it silently.
inline constexpr std::int32_t kMinimumRepeatOfCalculation = 10000;

// Converts a repeat-count text (ConversionError "'<text>' is not a valid integer value") and
// raises it to the minimum.
std::int32_t FlooredRepeatOfCalculation(std::string_view text);

inline constexpr const char* kTemperatureNotPositiveMessage =
    "The measurement temperature in K should be positive.";
inline constexpr const char* kNegativeVoltageStepMessage =
    "The increment of the applied voltage should be positive or 0 V.";
