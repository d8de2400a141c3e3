// Money amounts as the text the game shows: "£" and digits, Windows-1252.
#include "numerics/money.h"

#include <cstdio>
#include <cstring>

static char moneyText[kMoneyTextSize];

// "\xA3" is the pound sign in Windows-1252; the thresholds are compared as
// floats, so 99.99f itself is not above 99.99f and keeps its last digit.
const char* FormatMoney(float amount)
{
    memset(moneyText, 0, sizeof moneyText);
    if (amount < 1.0f)
        snprintf(moneyText, sizeof moneyText, "\xA3%0.2f", static_cast<double>(amount));
    if (amount > 0.99f)
        snprintf(moneyText, sizeof moneyText, "\xA3%0.0f", static_cast<double>(amount));

    // Large amounts read as round figures: overwrite the trailing digits from
    // the end of the text, after the conversion has already rounded. The
    // length check matters only for texts shorter than any real amount's.
    size_t length = strlen(moneyText);
    if (amount > 99.99f && length >= 1)
        moneyText[length - 1] = '0';
    if (amount > 999.99f && length >= 2)
        moneyText[length - 2] = '0';
    if (amount > 99999.99f && length >= 3)
        moneyText[length - 3] = '0';
    return moneyText;
}
