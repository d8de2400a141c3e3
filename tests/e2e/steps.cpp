// The steps that several groups of cases take.
#include "tests/e2e/board.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

void StartOrAbort(Game& game)
{
    bool started = game.Start();
    Require(started, "the game did not start: " + game.Error());
}

void ClickOrAbort(Game& game, int id)
{
    bool clicked = game.Click(id);
    Require(clicked, game.Error());
}

void ChooseBox(Game& game, int number)
{
    ClickOrAbort(game, IDC_BOX_BUTTON + number - 1);
    WaitForStatus(game, "OPEN A BOX", Format("box %d was not taken", number));
}

void WaitForStatus(const Game& game, const std::string& text, const std::string& what)
{
    // The text is read after the wait, for the report.
    if (!game.WaitText(IDC_STATUS, text))
        throw CaseAbort{Format("%s: the status reads \"%s\", not \"%s\"", what.c_str(),
                               Printable(game.Text(IDC_STATUS)).c_str(), Printable(text).c_str())};
}

void ChooseBoxSeven(Game& game)
{
    ChooseBox(game, 7);
}

bool OutOfSight(const Game& game, int id)
{
    RECT rect = game.ClientRect(id);
    return rect.left == kOutOfSight && rect.top == kOutOfSight;
}

void OpenOtherBox(Game& game, int number)
{
    ClickOrAbort(game, IDC_BOX_BUTTON + number - 1);
    // The box buttons are disabled from the click's first step to its last,
    // so "OPEN A BOX" with them enabled is the new request, not the old one.
    auto done = [&] {
        if (!OutOfSight(game, IDC_BOX_BUTTON + number - 1))
            return false;
        for (int i = 0; i < kBoxes; ++i)
            if (!OutOfSight(game, IDC_BOX_BUTTON + i) && !game.Enabled(IDC_BOX_BUTTON + i))
                return false;
        return game.Text(IDC_STATUS) == "OPEN A BOX";
    };
    if (!WaitFor(done, kStepTimeout))
        throw CaseAbort{Format("box %d did not open: the status reads \"%s\"", number,
                               Printable(game.Text(IDC_STATUS)).c_str())};
}

std::string AnswerStartAgain(Game& game, int answer)
{
    ClickOrAbort(game, IDC_NEW_GAME);
    HWND box = WaitForMessageBox(game, "NEW GAME");
    Require(box != nullptr, "no message box captioned \"NEW GAME\"");
    std::string text = MessageBoxText(box);
    std::string error;
    bool answered = AnswerMessageBox(box, answer, &error);
    Require(answered, error);
    return text;
}

void AskAndDecline(Game& game)
{
    AnswerStartAgain(game, IDNO);
}

void CloseAndCheckExit(Game& game)
{
    Require(game.PostClose(), "WM_CLOSE could not be posted");
    DWORD code = 0;
    if (Check(game.WaitExit(kExitTimeout, &code),
              Format("the game still runs %d ms after WM_CLOSE", kExitTimeout)))
        CheckInt(code, 0, "exit code");
}

}  // namespace e2e
