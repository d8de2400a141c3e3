// A player that moves a game on to its end, for the runs that need a game in a given phase.
#include "tests/e2e/reliability.h"

#include "tests/e2e/board.h"
#include "tests/e2e/check.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

Glance Look(const Game& game)
{
    Glance glance;
    std::vector<HWND> boxes = OpenMessageBoxes(game);
    if (!boxes.empty()) {
        glance.messageBox = boxes.front();
        glance.boxCaption = WindowText(glance.messageBox);
    }
    glance.status = game.Text(IDC_STATUS);
    glance.offer = game.Text(IDC_OFFER);
    glance.dealEnabled = game.Enabled(IDC_DEAL);
    RECT own = OwnButtonPlace();
    glance.buttonsEnabled = true;
    for (int i = 0; i < kBoxes; ++i) {
        RECT rect = game.ClientRect(IDC_BOX_BUTTON + i);
        if (!InSight(rect))
            continue;
        if (EqualRect(&rect, &own))
            glance.ownBox = i;
        else
            glance.others.push_back(i);
        glance.buttonsEnabled = glance.buttonsEnabled && game.Enabled(IDC_BOX_BUTTON + i);
    }
    return glance;
}

bool ReadyForBox(const Glance& glance)
{
    // While the banker calls, waits for an answer or offers the swap, a box
    // click is refused; so is every click once the game is over.
    static const char* const kBusyTexts[] = {kWishes, kPress, kWants, kSwapChance, kGameOver};
    for (const char* text : kBusyTexts)
        if (glance.status == text)
            return false;
    return !glance.messageBox && !glance.dealEnabled && glance.buttonsEnabled &&
           (glance.ownBox >= 0 || !glance.others.empty());
}

static int BoxToOpen(std::mt19937& random, const Glance& glance)
{
    if (glance.ownBox < 0 && glance.others.size() == kBoxes)
        return glance.others[Pick(random, 0, kBoxes - 1)];
    // Own box and one other left: the own box's turn; then the last one.
    if (glance.others.size() == 1)
        return glance.ownBox >= 0 ? glance.ownBox : glance.others.front();
    if (glance.others.empty())
        return -1;
    return glance.others[Pick(random, 0, static_cast<int>(glance.others.size()) - 1)];
}

std::string PlayMove(Game& game, std::mt19937& random, const PlayStyle& style, const Glance& glance)
{
    if (glance.messageBox) {
        int answer = IDOK;
        if (glance.boxCaption == "BANKER ASKS ...")
            answer = style.swapAnswer;
        else if (glance.boxCaption == "NEW GAME")
            answer = IDNO;
        std::string error;
        if (!AnswerMessageBox(glance.messageBox, answer, &error))
            return std::string();
        return "answered \"" + glance.boxCaption + "\"";
    }
    if (glance.dealEnabled) {
        int button = style.dealAtFirstOffer ? IDC_DEAL : IDC_NO_DEAL;
        if (!game.Click(button))
            return std::string();
        WaitFor([&] { return !game.Enabled(IDC_DEAL); }, kStepTimeout);
        return button == IDC_DEAL ? "DEAL" : "NO DEAL";
    }
    if (!ReadyForBox(glance))
        return std::string();
    int box = BoxToOpen(random, glance);
    if (box < 0)
        return std::string();
    RECT before = game.ClientRect(IDC_BOX_BUTTON + box);
    if (!game.Click(IDC_BOX_BUTTON + box))
        return std::string();
    // The button leaves its place when the click is taken: into the MY BOX
    // frame, or out of sight.
    WaitFor([&] {
        RECT now = game.ClientRect(IDC_BOX_BUTTON + box);
        return !EqualRect(&now, &before) || !OpenMessageBoxes(game).empty();
    }, kStepTimeout);
    return Format("box %d", box + 1);
}

}  // namespace e2e
