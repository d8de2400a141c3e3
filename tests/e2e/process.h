// What a running process holds of the system, read from outside: memory, handles, GDI objects.
#pragma once

#include <windows.h>

#include <vector>

namespace e2e {

// A figure this system does not tell stays negative.
struct Figures {
    double privateBytes = -1, handles = -1, gdiObjects = -1;
};
Figures ReadFigures(DWORD pid);
// Least-squares slope of ys against 0, 1, 2, ...
double Slope(const std::vector<double>& ys);

}  // namespace e2e
