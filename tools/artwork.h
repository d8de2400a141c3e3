// The game's pictures: background, closed and opened boxes, plates, banker's telephone, icon.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"
#include "text.h"

constexpr int kValueCount = 22;
// Amounts as the plates and opened boxes write them, by value index.
extern const char* const kAmountTexts[kValueCount];
// Value indices below this stand in the board's left column and open into blue boxes.
constexpr int kFirstHighValue = 11;

constexpr int kBoxWidth = 85, kBoxHeight = 67;
constexpr int kPlateWidth = 128, kPlateHeight = 23;
constexpr int kBoardWidth = 765, kBoardHeight = 574;
constexpr int kPhoneWidth = 147, kPhoneHeight = 93;

Canvas MakeBackground();
Canvas MakeClosedBox();
Canvas MakeOpenBox(int valueIndex, const TextRenderer& font);
Canvas MakePlate(int valueIndex, const TextRenderer& font);
Canvas MakeBankerPhone();

struct IconImage {
    std::vector<uint8_t> indices;   // 32 x 32 VGA palette indices, rows top-down
    std::vector<bool> transparent;  // 32 x 32
};
IconImage MakeGameIcon(const TextRenderer& font);
