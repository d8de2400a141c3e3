// The generated bitmaps, icon and sounds: the sizes and formats the resources need.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/unit/fake.h"

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
    for (int k = 0; k < kBoxCount; ++k) {
        std::string number = std::to_string(k / 10) + std::to_string(k % 10) + ".bmp";
        assets.insert(assets.end(), {Dib("open_box_" + number, 85, 67), Dib("plate_" + number, 128, 23)});
    }
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
        auto at = [&b](size_t offset, int bytes) {
            uint32_t value = 0;
            while (bytes-- > 0)
                value = value << 8 | (offset + bytes < b.size() ? b[offset + bytes] : 0u);
            return value;
        };
        EXPECT_EQ(b.size(), asset.length ? asset.length : at(4, 4) + 8) << asset.name;
        for (const Field& field : asset.fields)
            EXPECT_EQ(at(field.at, field.bytes), field.value) << asset.name << " at " << field.at;
    }
}
