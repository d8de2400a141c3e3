// The reliability groups (a click storm, closing at any moment, long sessions) and the sound group.
#pragma once

#include "tests/e2e/check.h"

namespace e2e {

// Their long forms run with --soak-minutes; SoundTests is empty without --recording
// (raw 8-bit mono at 11025 a second).
std::vector<TestCase> StormTests(), ClosingTests(), SessionTests(), SoundTests();

}  // namespace e2e
