// Money amounts as the text the game shows: "£" and digits, Windows-1252.
#pragma once

const int kMoneyTextSize = 256;

// The result lives in one shared buffer that the next call overwrites.
const char* FormatMoney(float amount);
