// The driver's test frame: cases in groups, checks that name the failing row, the summary.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct TestCase { std::string name; std::function<void()> run; };
struct CaseAbort { std::string reason; };   // thrown by Require: the case cannot go on

// Each returns its condition; a failure prints a line naming the case and `what`.
bool Check(bool ok, const std::string& what);
bool CheckText(const std::string& actual, const std::string& expected, const std::string& what);
void Require(bool ok, const std::string& what);
void Note(const std::string& text);
void RunCases(const std::string& group, const std::vector<TestCase>& cases);   // each failing alone
[[noreturn]] void AbortRun(const std::string& reason);   // the watchdog's way out
int PrintSummary();   // "N passed, M failed" on a line of its own; 1 if any failed
std::string Printable(const std::string& text);   // "£" shows as \xA3
std::string Format(const char* format, ...);

// Storm, closing, session: long forms with --soak-minutes; sound: none without --recording (8-bit mono, 11025/s).
std::vector<TestCase> WindowTests(), GameTests(), NewGameTests(), ShellTests(), StormTests(), ClosingTests(),
    SessionTests(), SoundTests();

}  // namespace e2e
