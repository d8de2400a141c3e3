// The game's ten sounds, synthesised to their described character as 8-bit 11025 Hz samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSoundCount = 10;

struct SoundAsset {
    std::string name;     // the sound's programme name, e.g. SOUND_REVEAL
    std::string comment;  // what it is, for the file's information chunk
    std::vector<uint8_t> samples;
};

// n: sound number 0..9.
SoundAsset MakeSound(int n);
