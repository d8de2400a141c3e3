// The reliability groups (a click storm, closing at any moment, long sessions) and the sound group.
#pragma once

#include "tests/e2e/check.h"

namespace e2e {

struct ReliabilitySettings {
    int soakMinutes = 0;   // 0: the short forms of `make test`
    unsigned seed = 0;     // 0: a fresh seed, printed for a replay
};
ReliabilitySettings& Reliability();
std::vector<TestCase> StormTests(), ClosingTests(), SessionTests(), SoundTests();
void SetSoundRecording(const std::string& path);   // raw 8-bit mono at 11025 a second; SoundTests is empty without it

}  // namespace e2e
