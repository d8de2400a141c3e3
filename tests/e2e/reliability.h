// The reliability groups (a click storm, closing at any moment, long sessions) and the sound group.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/check.h"

namespace e2e {

struct ReliabilitySettings {
    int soakMinutes = 0;   // 0: the short forms of `make test`
    unsigned seed = 0;     // 0: a fresh seed, printed for a replay
};
ReliabilitySettings& Reliability();
std::vector<TestCase> StormTests();
std::vector<TestCase> ClosingTests();
std::vector<TestCase> SessionTests();
// Empty unless a recording of the sound card (raw 8-bit mono, 11025 a second) is named.
std::vector<TestCase> SoundTests();
void SetSoundRecording(const std::string& path);

}  // namespace e2e
