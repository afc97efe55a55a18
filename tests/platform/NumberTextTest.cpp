#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/NumberText.h"

namespace {

struct RealCase {
    const char* text;
    long double value;
};

TEST(StrToFloat, AcceptsTheNumbersUsersType) {
    const RealCase cases[] = {
        {"1000", 1000.0L},
        {"5E18", 5e18L},
        {"5e18", 5e18L},
        {"  5E18  ", 5e18L},
        {"-0.5", -0.5L},
        {"+1.5", 1.5L},
        {".5", 0.5L},
        {"1.", 1.0L},
        {"0.001", 0.001L},
        {"1e-3", 0.001L},
        {"1E+3", 1000.0L},
        {"-0", -0.0L},
        {"000250", 250.0L},
        // Too small to represent: the nearest extended real, not an error.
        {"1e-99999", 0.0L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const long double value = StrToFloat(c.text);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(std::signbit(value), std::signbit(c.value));
    }
}

TEST(StrToFloat, KeepsExtendedPrecision) {
    // 0.1 as an extended real differs from the double 0.1 widened.
    EXPECT_EQ(StrToFloat("0.1"), 0.1L);
    EXPECT_NE(StrToFloat("0.1"), static_cast<long double>(0.1));
    // Beyond the range of a double, within that of an extended real.
    EXPECT_EQ(StrToFloat("1e400"), 1e400L);
    EXPECT_EQ(StrToFloat("1e-400"), 1e-400L);
}

TEST(StrToFloat, RejectsEverythingElseWithTheProgramsMessage) {
    const char* cases[] = {"",    " ",     "   ",   "1,5",     "1e",   "--1",   "0x10",
                           "inf", "nan",   "-inf",  "1e99999", "1 e5", "5E 18", "5 E18",
                           "abc", "1.2.3", ".",     "+",       "-",    "e5",    "\t1",
                           "1\n", "1e+",   "0x1p3", "1f",      "1d",   "١"};
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        try {
            StrToFloat(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

TEST(StrToInt, AcceptsDecimalIntegersInThe32BitRange) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"10000", 10000},
        {" -5 ", -5},
        {"+7", 7},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(StrToInt(text), value);
    }
}

TEST(StrToInt, RejectsEverythingElseWithTheProgramsMessage) {
    const char* cases[] = {"",    " ",   "2147483648", "-2147483649", "99999999999999999999",
                           "1.5", "1e4", "0x10",       "$10",         "1 0",
                           "ten", "+",   "--1"};
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(FloatToStr, WritesTheGeneralRealFormat) {
    const std::pair<double, const char*> cases[] = {
        {5e18, "5E18"},
        {0.00001, "1E-5"},
        {0.0001, "0.0001"},
        {1.6021e-19, "1.6021E-19"},
        {1e15, "1E15"},
        {999999999999999.0, "999999999999999"},
        {9.999999999999999e14, "1E15"},  // rounds up to 16 digits before the integer part
        {1e14, "100000000000000"},
        {0.0, "0"},
        {-0.0, "0"},
        {1000.0, "1000"},
        {1000.0000000000001, "1000"},
        {0.001, "0.001"},
        {0.00099999999999999999, "0.001"},
        {0.25, "0.25"},
        {-1.2, "-1.2"},
        {100.0, "100"},
        {123456.789, "123456.789"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {-2.5e-7, "-2.5E-7"},
        {12345678901234567.0, "1.23456789012346E16"},
        {0.003, "0.003"},
        {1e-3 / 3, "0.000333333333333333"},
        {std::numeric_limits<double>::infinity(), "INF"},
    };
    for (const auto& [value, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(FloatToStr(value), text);
    }
}

TEST(StreamReal, WritesWhatADefaultStreamWrites) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {999.0, "999"},
        {0.99876543, "0.998765"},
        {0.00001, "1e-05"},
        {1500000.0, "1.5e+06"},
        {-12.3456789, "-12.3457"},
        {-10.0, "-10"},
        {1e6, "1e+06"},
        {123456.0, "123456"},
        {0.0001, "0.0001"},
        {2.0, "2"},
        {-245.699123, "-245.699"},
    };
    for (const auto& [value, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(StreamReal(value), text);
    }
}

TEST(ChangeFileExt, ReplacesOrAppendsTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"run.txt", "run.BB"},
        {"run", "run.BB"},
        {"run.bb", "run.BB"},
        {"run.BB", "run.BB"},
        {"old.dir/run", "old.dir/run.BB"},
        {"/data/a.b/run.tar.gz", "/data/a.b/run.tar.BB"},
        {"/data/sample", "/data/sample.BB"},
        {".profile", ".BB"},
        {"dir/", "dir/.BB"},
    };
    for (const auto& [path, changed] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ChangeFileExt(path, ".BB"), changed);
    }
}

TEST(WithFullStop, AppendsAFullStopAfterCharactersAboveIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
        {"The thickness should be positive.", "The thickness should be positive."},
        {"ends in a space ", "ends in a space "},
        {"(in brackets)", "(in brackets)"},
        {"count 12", "count 12."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases) {
        SCOPED_TRACE(message);
        EXPECT_EQ(WithFullStop(message), shown);
    }
}

}  // namespace
