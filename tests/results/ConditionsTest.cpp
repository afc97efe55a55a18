#include <gtest/gtest.h>

#include <string>

#include "platform/NumberText.h"
#include "results/Conditions.h"

namespace {

TEST(RepeatOfCalculation, CountsBelowTenThousandBecomeTenThousand) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"9999", 10000}, {"10000", 10000},     {"20000", 20000},           {"-5", 10000},
        {"0", 10000},    {" 123456 ", 123456}, {"2147483647", 2147483647},
    };
    for (const auto& [text, repeat] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(FlooredRepeatOfCalculation(text), repeat);
    }
}

TEST(RepeatOfCalculation, RejectsTextsThatAreNotA32BitInteger) {
    for (const char* text : {"abc", "1e4", "10000.0", "2147483648", ""}) {
        SCOPED_TRACE(text);
        try {
            FlooredRepeatOfCalculation(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

}  // namespace
