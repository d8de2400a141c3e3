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

// The styles the template gives each kind of control.
const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kPicture = kChild | SS_BITMAP;
const DWORD kSunkenText = kChild | WS_GROUP | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN;
const DWORD kLabel = kChild | WS_GROUP | SS_CENTER;
const DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kList = kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

// Checks the control's client rectangle; `what` names the row in a failure.
bool CheckPlace(const Game& game, int id, const RECT& expected, const std::string& what);
// Every picture, button and plate at its starting place; one failure line per control.
void CheckBoardAtHome(const Game& game, const std::string& when);
// The displays and lists of a freshly dealt game, DEAL and NO DEAL disabled,
// every box button enabled.
void CheckFreshDisplays(const Game& game, const std::string& when);

}  // namespace e2e
