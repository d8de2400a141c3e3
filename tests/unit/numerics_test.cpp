// The generator's seed, steps and slices, and the money text.
#include <gtest/gtest.h>

#include "numerics/money.h"
#include "numerics/random.h"
#include "tests/unit/fake.h"

TEST(Random, SeedsOnceFromTheClockThenStepsAndSlices)
{
    struct Row { UtcTime clock; uint32_t seedState, warmUp; };
    const Row rows[] = {   // 10056645250 ms wraps to 1466710658, / 2024 = 724659
        {fake::kMidsummer, 356019052u, 82},
        {{2008, 1, 4, 24, 12, 0, 0, 0}, 3652139710u, 851},   // negative, / 2008 toward zero
    };
    for (const Row& row : rows) {
        ResetRandom();
        fake::utc = row.clock, fake::clockReads = 0;
        EXPECT_TRUE(RandomInRange(0, 1000) == row.warmUp && rngState == row.seedState) << rngState;
    }
    struct Slice { uint32_t state, lo, hi, result; };
    const Slice slices[] = {   // the edges of each slice; the deals show the steps from a seed
        {195225785u, 0, 21, 0}, {195225786u, 0, 21, 1}, {4294967291u, 0, 21, 21}, {4294967292u, 0, 21, 22},
        {1073741822u, 0, 3, 0}, {1073741823u, 0, 3, 1}, {4294966675u, 0, 1000, 1000}, {4294966676u, 0, 1000, 1001},
        {3 * 195225786u, 10, 31, 13}, {0u, 7, 7, 7},
    };
    for (const Slice& slice : slices) {
        rngSeeded = 1, rngState = fake::StateBefore(slice.state);
        EXPECT_TRUE(RandomInRange(slice.lo, slice.hi) == slice.result && rngState == slice.state) << slice.state;
    }
}

TEST(Money, TextOfWorkedAmountsAndEveryBoxAmount)
{
    struct Row { float amount; const char* text; };
    const Row rows[] = {
        {0.0f, "0.00"}, {0.01f, "0.01"}, {0.10f, "0.10"}, {0.16285534f, "0.16"}, {0.50f, "0.50"}, {0.99f, "0.99"},
        {0.995f, "1"}, {2.5f, "2"}, {3.5f, "4"}, {99.99f, "100"}, {123.4f, "120"}, {999.99f, "1000"}, {1234.4f, "1200"},
        {1249.6f, "1200"}, {1292.4131f, "1200"}, {2618.0339f, "2600"}, {12345.67f, "12300"}, {15369.754f, "15300"},
        {62525.004f, "62500"}, {99999.99f, "100000"}, {123456.7f, "123000"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatMoney(row.amount), std::string("\xA3") + row.text) << row.amount;
    for (float amount : kBoxValues)   // every box amount from £1 up reads unchanged
        EXPECT_TRUE(amount < 1 || FormatMoney(amount) == "\xA3" + std::to_string(int(amount))) << amount;
}
