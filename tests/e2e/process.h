// What a running process holds of the system, read from outside: memory, handles, GDI objects.
#pragma once

#include <windows.h>

#include <vector>

namespace e2e {

struct Figures {
    double privateBytes = -1, handles = -1, gdiObjects = -1;   // negative: this system does not tell
};
Figures ReadFigures(DWORD pid);
double Slope(const std::vector<double>& ys);   // growth per sample, robust to a few outliers

}  // namespace e2e
