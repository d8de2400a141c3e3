// The groups of end-to-end cases, and the steps that several of them take.
#pragma once

#include <vector>

#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"

namespace e2e {

std::vector<TestCase> WindowTests();
// The window's template as the program file holds it; part of the window group.
std::vector<TestCase> TemplateTests();
std::vector<TestCase> NewGameTests();
std::vector<TestCase> ShortcutTests();
std::vector<TestCase> GameTests();
std::vector<TestCase> ArtworkTests();
// Empty unless SetSoundRecording has named a recording of the sound card's
// output (Windows path of raw 8-bit mono samples at 11025 per second).
std::vector<TestCase> SoundTests();
void SetSoundRecording(const std::string& path);
// Reliability: a click storm, closing at any moment, long sessions; their
// long forms run with --soak-minutes.
std::vector<TestCase> StormTests();
std::vector<TestCase> ClosingTests();
std::vector<TestCase> SessionTests();

// Each ends the running case when the step cannot be taken.
void StartOrAbort(Game& game);
void ClickOrAbort(Game& game, int id);
// Chooses box `number` (1 to 22) as the own box, and waits for the game to
// ask for the next box.
void ChooseBox(Game& game, int number);
void ChooseBoxSeven(Game& game);
// Opens box `number` after the own box is chosen, and waits for the click's
// end: the button gone, the other buttons enabled again, the next request shown.
void OpenOtherBox(Game& game, int number);
bool OutOfSight(const Game& game, int id);
// Clicks NEW GAME, waits for "START AGAIN?" and answers it; returns the box's text.
std::string AnswerStartAgain(Game& game, int answer);
void AskAndDecline(Game& game);
// Waits for the status box to read `text`; ends the case, naming `what`, when it does not.
void WaitForStatus(const Game& game, const std::string& text, const std::string& what);
// Closes the game with WM_CLOSE and checks that it ends with code 0.
void CloseAndCheckExit(Game& game);

}  // namespace e2e
