#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "target/NumberText.h"

namespace zorbik {
namespace {

std::string Shortest(double value)
{
    char text[kNumberTextSize];
    return {text, NumberText(value, text)};
}

std::string Library(double value)
{
    char text[kNumberTextSize];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

// The quick path writes what to_chars writes: the fixed or the exponent
// form, whichever is shorter, and values it must leave to to_chars.
TEST(NumberText, WritesWhatToCharsWrites)
{
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {968315.45, "968315.45"},       {-30981.29, "-30981.29"},  {100000, "1e+05"},
        {120000, "120000"},             {0.0001, "1e-04"},         {0.001, "0.001"},
        {0.00012, "0.00012"},           {1e15, "1e+15"},           {999999999999999, "999999999999999"},
        {0.1 + 0.2, "0.30000000000000004"}, {0.0, "0"},            {-0.0, "-0"},
        {12.5e-8, "1.25e-07"},          {1e100, "1e+100"},         {5e-324, "5e-324"},
        // 16 and 17 digits, and a tie between two of 16 left to to_chars.
        {692695709.0288281, "692695709.0288281"}, {-1.2345678901234567, "-1.2345678901234567"},
        {123456789012345.25, "123456789012345.25"}, {999999999999999.9, "999999999999999.9"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Shortest(row.value), row.text) << row.text;

    // Amounts of up to 15 digits with up to 9 decimals, and doubles of every
    // size, as the library writes them.
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const auto digits = static_cast<std::int64_t>(random() % (std::uint64_t{1} << (random() % 54)));
        const double amount = static_cast<double>(i % 2 == 0 ? digits : -digits) / std::pow(10.0, random() % 10);
        const double any = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 90) - 70);
        const double whole = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 50) - 52);
        ASSERT_EQ(Shortest(amount), Library(amount));
        ASSERT_EQ(Shortest(any), Library(any));
        ASSERT_EQ(Shortest(whole), Library(whole)) << whole;
    }
}

// Decimals of up to 15 digits and 3 decimals as NumberText writes their
// nearest double.
TEST(NumberText, DecimalsAsTheirNearestDouble)
{
    std::mt19937_64 random(5);
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t digits = random() % 1'000'000'000'000'000ull >> (random() % 50);
        const int scale = static_cast<int>(random() % 4);
        const double nearest = static_cast<double>(digits) / std::pow(10.0, scale);
        char text[kNumberTextSize];
        ASSERT_EQ(std::string(text, DecimalText(digits, scale, i % 2 != 0, text)), Library(i % 2 ? -nearest : nearest));
    }
}

// Integers of every length and both signs, as to_chars writes them.
TEST(NumberText, IntegersAsToCharsWritesThem)
{
    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i) {
        const std::int64_t value = static_cast<std::int64_t>(random()) >> (random() % 64);
        const std::uint64_t big = random() >> (random() % 64);
        char a[24], b[24], c[24], d[24];
        ASSERT_EQ(std::string(a, IntegerText(value, a)), std::string(b, std::to_chars(b, b + 24, value).ptr));
        ASSERT_EQ(std::string(c, IntegerText(big, false, c)), std::string(d, std::to_chars(d, d + 24, big).ptr));
    }
}

} // namespace
} // namespace zorbik
