// What the game did to its controls, in order, as the recorder library inside it wrote it down.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/recorder.h"

namespace e2e {

struct Recorded {
    RecordKind kind;
    int control;
    LONG value;
    std::string text;   // Windows-1252 bytes
};

class Transcript {
public:
    Transcript() = default;
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Hooks the recorder into the game's thread and waits until it runs there.
    bool Attach(const Game& game, std::string* error);
    // How many records there are so far: a place to read from later.
    size_t Mark();
    std::vector<Recorded> Since(size_t mark);
    // Polls until a record from `mark` on satisfies `wanted`; false after timeoutMs.
    bool WaitFor(size_t mark, const std::function<bool(const Recorded&)>& wanted, int timeoutMs);

private:
    void Read();

    HANDLE mapping = nullptr;
    RecordBlock* block = nullptr;
    HMODULE library = nullptr;
    HHOOK hook = nullptr;
    LONG first = 0;
    std::vector<Recorded> records;
};

// The texts that the status box was given, in order.
std::vector<std::string> StatusTexts(const std::vector<Recorded>& records);

// Returns once the game's thread has answered a message: everything it did
// before its current pump is then recorded. False when it does not answer.
bool GameAnswers(const Game& game, int timeoutMs);

}  // namespace e2e
