// Where the board's controls belong, in client pixels, and checks against those places.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/harness.h"

namespace e2e {

const int kBoxes = 22;
// The client place, far outside the window, where the game hides a control.
const int kOutOfSight = 16384;

// Client pixels of box i's picture, of its button, and of board plate k.
RECT PictureHome(int i);
RECT ButtonHome(int i);
RECT PlateHome(int k);
// The MY BOX frame's places for the own box.
RECT OwnPicturePlace();
RECT OwnButtonPlace();

RECT MakeRect(int x, int y, int width, int height);

// Checks the control's client rectangle; `what` names the row in a failure.
bool CheckPlace(const Game& game, int id, const RECT& expected, const std::string& what);
// Every picture, button and plate at its starting place; one failure line per control.
void CheckBoardAtHome(const Game& game, const std::string& when);
// The displays and lists of a freshly dealt game, DEAL and NO DEAL disabled,
// every box button enabled.
void CheckFreshDisplays(const Game& game, const std::string& when);

}  // namespace e2e
