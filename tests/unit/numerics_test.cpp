// The generator's seed and steps, and the money text.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "numerics/money.h"
#include "numerics/random.h"
#include "tests/unit/fake_platform.h"

namespace {

uint32_t Step(uint32_t x) { return x * 12345u + 38289u; }

// The state that steps to `target`: 12345 is odd, so it has an inverse mod 2^32.
uint32_t StateBefore(uint32_t target)
{
    uint32_t inverse = 12345u;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 12345u * inverse;
    return (target - 38289u) * inverse;
}

// Makes the next call step to `state`.
void ForceNextState(uint32_t state)
{
    RandomInRange(0, 0);   // seeded now; the clock is never read again
    rngState = StateBefore(state);
}

class RandomTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(RandomTest, FirstDrawsFromTheWorkedClockReadings)
{
    struct Row { UtcTime time; uint32_t state; uint32_t warmUp; };
    const Row rows[] = {
        {{2024, 6, 6, 15, 9, 30, 45, 250}, 356019052u, 82u},
        {{2008, 1, 4, 24, 12, 0, 0, 0}, 3652139710u, 851u},
    };
    for (const Row& row : rows) {
        fake::Reset();
        fake::SetUtcClock(row.time);
        EXPECT_EQ(RandomInRange(0, 1000), row.warmUp) << "year " << row.time.year;
        EXPECT_EQ(rngState, row.state) << "year " << row.time.year;
    }
}

TEST_F(RandomTest, LaterDrawsFollowTheStateAndNeverReadTheClockAgain)
{
    fake::SetUtcClock({2024, 6, 6, 15, 9, 30, 45, 250});
    RandomInRange(0, 1000);
    const uint32_t results[] = {6, 4, 9, 4, 14};
    const uint32_t states[] = {1303691421u, 828172422u, 1766423399u, 947937152u, 2793265425u};
    fake::SetUtcClock({2031, 12, 1, 31, 23, 59, 59, 999});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(RandomInRange(0, 21), results[i]) << "draw " << i;
        EXPECT_EQ(rngState, states[i]) << "draw " << i;
    }
    EXPECT_EQ(fake::ClockReads(), 1);
}

TEST_F(RandomTest, NegativeSeedTruncatesTowardZero)
{
    fake::SetUtcClock({2008, 1, 4, 24, 12, 0, 0, 0});
    RandomInRange(0, 1000);
    EXPECT_EQ(rngState, Step(0xFFFF3495u));
}

TEST_F(RandomTest, SliceBoundaries)
{
    struct Row { uint32_t lo, hi, state, expected; };
    const Row rows[] = {
        {0, 3, 1073741822u, 0},          // the last state that offers a swap
        {0, 3, 1073741823u, 1},
        {0, 3, 4294967291u, 3},
        {0, 3, 4294967292u, 4},          // the short last slice: hi + 1
        {0, 21, 4294967291u, 21},
        {0, 21, 4294967292u, 22},
        {0, 21, 4294967295u, 22},
        {0, 1000, 4294966675u, 1000},
        {0, 1000, 4294966676u, 1001},
        {5, 5, 4294967294u, 5},
        {5, 5, 4294967295u, 6},          // even a range of one has its short slice
    };
    for (const Row& row : rows) {
        ForceNextState(row.state);
        EXPECT_EQ(RandomInRange(row.lo, row.hi), row.expected)
            << "range " << row.lo << ".." << row.hi << " state " << row.state;
    }
}

TEST(MoneyText, Examples)
{
    struct Row { float amount; const char* text; };
    const Row rows[] = {
        {0.0f, "\xA3" "0.00"},      {0.01f, "\xA3" "0.01"},     {0.10f, "\xA3" "0.10"},
        {0.16285534f, "\xA3" "0.16"}, {0.99f, "\xA3" "0.99"},   {0.995f, "\xA3" "1"},
        {1.0f, "\xA3" "1"},         {5.0f, "\xA3" "5"},         {99.99f, "\xA3" "100"},
        {100.0f, "\xA3" "100"},     {123.4f, "\xA3" "120"},     {999.99f, "\xA3" "1000"},
        {1234.4f, "\xA3" "1200"},   {1249.6f, "\xA3" "1200"},   {2618.0339f, "\xA3" "2600"},
        {12345.67f, "\xA3" "12300"}, {15369.754f, "\xA3" "15300"}, {62525.004f, "\xA3" "62500"},
        {99999.99f, "\xA3" "100000"}, {123456.7f, "\xA3" "123000"}, {250000.0f, "\xA3" "250000"},
        {-0.0f, "\xA3" "-0.00"},    {-5.0f, "\xA3" "-5.00"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(FormatMoney(row.amount), row.text) << "amount " << row.amount;
}

TEST(MoneyText, EveryBoxAmountIsShownUnchanged)
{
    const char* texts[] = {"0.01", "0.10", "0.50", "1", "5", "10", "50", "100", "250", "500",
                           "750", "1000", "3000", "5000", "10000", "15000", "20000", "35000",
                           "50000", "75000", "100000", "250000"};
    const float amounts[] = {0.01f, 0.10f, 0.50f, 1, 5, 10, 50, 100, 250, 500, 750, 1000, 3000,
                             5000, 10000, 15000, 20000, 35000, 50000, 75000, 100000, 250000};
    for (int k = 0; k < 22; ++k)
        EXPECT_EQ(std::string(FormatMoney(amounts[k])), std::string("\xA3") + texts[k]) << k;
}

TEST(MoneyText, ExtremesFitTheBuffer)
{
    EXPECT_STREQ(FormatMoney(std::numeric_limits<float>::quiet_NaN()), "");
    const float extremes[] = {FLT_MAX, -FLT_MAX, std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(), FLT_MIN, -FLT_MIN,
                              std::numeric_limits<float>::denorm_min()};
    for (float amount : extremes) {
        const char* text = FormatMoney(amount);
        size_t length = strnlen(text, kMoneyTextSize);
        EXPECT_LT(length, static_cast<size_t>(kMoneyTextSize)) << amount;
        EXPECT_EQ(text[0], '\xA3') << amount;
    }
}

TEST(MoneyText, CallsShareOneBuffer)
{
    const char* first = FormatMoney(62525.004f);
    const char* second = FormatMoney(0.01f);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "\xA3" "0.01");
}

}  // namespace
