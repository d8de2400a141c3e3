// The driver's test frame: cases in groups, checks that report the failing row, the summary.
#pragma once

#include <string>
#include <vector>
#include <functional>

namespace e2e {

struct TestCase {
    std::string name;
    std::function<void()> run;
};

struct TestGroup {
    std::string name;
    std::vector<TestCase> (*cases)();
};

// Thrown by Require: the rest of the case cannot run.
struct CaseAbort {
    std::string reason;
};

// Each returns its condition; a failure prints one line naming the case and
// `what`, marks the case failed, and the case goes on.
bool Check(bool ok, const std::string& what);
bool CheckText(const std::string& actual, const std::string& expected, const std::string& what);
bool CheckInt(long long actual, long long expected, const std::string& what);
void Require(bool ok, const std::string& what);
void Note(const std::string& text);

// Runs the cases one after another, each failing alone; returns the number failed.
int RunCases(const std::string& group, const std::vector<TestCase>& cases);
// For the watchdog: fails the running case, ends the games, prints the summary, exits.
[[noreturn]] void AbortRun(const std::string& reason);
// "N passed, M failed" on a line of its own.
void PrintSummary();
int FailedCount();

// Bytes outside printable ASCII as \xNN, so "£" shows as \xA3.
std::string Printable(const std::string& text);
std::string Format(const char* format, ...);

}  // namespace e2e
