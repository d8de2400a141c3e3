// The generator's seed, steps and slices, the money text, and the generated files' sizes and formats.
#include <fstream>
#include <iterator>

#include "numerics/money.h"
#include "tests/unit/fake.h"

TEST(Random, SeedsOnceFromTheClockThenStepsAndSlices)
{
    // Rows with a clock are first calls: 10056645250 ms wraps to 1466710658, / 2024 = 724659; January's count is
    // negative as signed, / 2008 toward zero. The others step to each edge of a slice; the deals show longer runs.
    const struct Row { UtcTime clock; uint32_t state, lo, hi, result; } rows[] = {
        {fake::kMidsummer, 356019052u, 0, 1000, 82}, {fake::kJanuary, 3652139710u, 0, 1000, 851},
        {{2016, 11, 2, 29, 23, 59, 58, 999}, 312033817u, 0, 1000, 72},   // past a multiple of 2016 by its milliseconds alone
        {{}, 195225785u, 0, 21, 0}, {{}, 195225786u, 0, 21, 1}, {{}, 4294967291u, 0, 21, 21}, {{}, 4294967292u, 0, 21, 22},
        {{}, 1073741822u, 0, 3, 0}, {{}, 1073741823u, 0, 3, 1}, {{}, 4294966675u, 0, 1000, 1000},
        {{}, 4294966676u, 0, 1000, 1001}, {{}, 3 * 195225786u, 10, 31, 13}, {{}, 0u, 7, 7, 7},
    };
    for (const Row& row : rows) {
        fake::utc = row.clock, fake::clockReads = 0, rngSeeded = !row.clock.year, rngState = fake::StateBefore(row.state);
        EXPECT_ALL(RandomInRange(row.lo, row.hi) == row.result, rngState == row.state) << "the row stepping to " << row.state;
    }
}

TEST(Money, TextOfWorkedAndBoxAmounts)
{
    const struct Row { float amount; const char* text; } rows[] = {   // box amounts, and amounts just under each threshold
        {0.0f, "0.00"}, {0.01f, "0.01"}, {0.10f, "0.10"}, {0.16285534f, "0.16"}, {0.50f, "0.50"}, {0.99f, "0.99"},
        {0.995f, "1"}, {2.5f, "2"}, {3.5f, "4"}, {99.4f, "99"}, {99.99f, "100"}, {123.4f, "120"}, {250.0f, "250"},
        {750.0f, "750"}, {999.4f, "990"}, {999.99f, "1000"}, {1234.4f, "1200"}, {1249.6f, "1200"}, {1292.4131f, "1200"},
        {2618.0339f, "2600"}, {12345.67f, "12300"}, {15369.754f, "15300"}, {35000.0f, "35000"}, {62525.004f, "62500"},
        {99999.4f, "99900"}, {99999.99f, "100000"}, {123456.7f, "123000"}, {250000.0f, "250000"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatMoney(row.amount), std::string("\xA3") + row.text) << row.amount;
}

struct Field { size_t at; int bytes; uint32_t value; };   // little-endian
struct Asset { std::string name; size_t length; std::vector<Field> fields; };

static Asset Dib(const std::string& name, uint32_t width, uint32_t height)
{
    uint32_t length = 54 + (width * 3 + 3) / 4 * 4 * height;   // rows padded to 4 bytes
    return {name, length, {{0, 2, 0x4D42}, {2, 4, length}, {10, 4, 54}, {14, 4, 40}, {18, 4, width},
                           {22, 4, height}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0}}};
}

TEST(Assets, SizesAndFormatsOfEveryGeneratedFile)
{
    std::vector<Asset> assets = {Dib("closed_box.bmp", 85, 67), Dib("banker_phone.bmp", 147, 93), Dib("background.bmp", 765, 574)};
    for (int k = 0; k < kBoxCount; ++k)   // numbered from 00
        for (auto [name, width, height] : {std::tuple("open_box_", 85u, 67u), std::tuple("plate_", 128u, 23u)})
            assets.push_back(Dib(name + std::to_string(k / 10) + std::to_string(k % 10) + ".bmp", width, height));
    // One 32 x 32 image of 16 colours: header, palette, colour bits, then the mask.
    assets.push_back({"game.ico", 22 + 40 + 64 + 512 + 128, {{0, 4, 0x10000}, {4, 2, 1}, {6, 4, 0x102020}, {12, 2, 4},
        {14, 4, 744}, {18, 4, 22}, {22, 4, 40}, {26, 4, 32}, {30, 4, 64}, {34, 2, 1}, {36, 2, 4}, {38, 4, 0}}});
    for (int n = 0; n < kSoundCount; ++n)   // "RIFF", "WAVE", "fmt ": PCM, mono, 11025 Hz, 8 bits; "data"
        assets.push_back({"sound_" + std::to_string(n) + ".wav", 0, {{0, 4, 0x46464952}, {8, 4, 0x45564157},
            {12, 4, 0x20746D66}, {16, 4, 16}, {20, 4, 0x10001}, {24, 4, 11025}, {28, 4, 11025},
            {32, 4, 0x80001}, {36, 4, 0x61746164}, {40, 4, uint32_t(fake::kSoundSamples[n])}}});
    for (const Asset& asset : assets) {
        std::ifstream in(std::string(QUORVANT_ASSET_DIR) + "/" + asset.name, std::ios::binary);
        std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
        size_t size = b.size();
        b.resize(size + 64);   // a short file's missing fields read as zeros
        auto at = [&b](size_t offset, int bytes) { uint32_t v = 0; while (bytes-- > 0) v = v << 8 | b[offset + bytes]; return v; };
        EXPECT_EQ(size, asset.length ? asset.length : at(4, 4) + 8) << asset.name;
        for (const Field& field : asset.fields)
            EXPECT_EQ(at(field.at, field.bytes), field.value) << asset.name << " at " << field.at;
    }
}
