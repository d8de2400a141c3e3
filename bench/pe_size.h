// What takes the room in a program file: its sections and its resources by type.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace bench {

struct PeSection {
    std::string name;
    unsigned long fileBytes;   // raw size in the file
};

struct PeContents {
    unsigned long fileBytes = 0;
    std::vector<PeSection> sections;
    // Resource bytes by type: "BITMAP", "ICON", "WAVE", ... as the file stores them.
    std::map<std::string, unsigned long> resourceBytes;
    // The bitmaps once loaded as 32-bit screen bitmaps: width x height x 4,
    // in all and by resource number.
    unsigned long bitmapScreenBytes = 0;
    int bitmapCount = 0;
    std::map<unsigned, unsigned long> bitmapScreenBytesById;
};

// Reads a Windows program file of either width; false when it is not one.
bool ReadPeContents(const std::string& path, PeContents* contents);

}  // namespace bench
