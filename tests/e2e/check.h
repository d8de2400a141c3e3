// The driver's test cases and checks: counts passed and failed cases, reports each failure.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct TestCase {
    std::string name;
    std::function<void()> run;
};

struct TestGroup {
    std::string name;
    std::vector<TestCase> (*cases)();
};

// Ends the running case at once, counted as failed: what follows cannot run.
struct CaseAbort {
    std::string reason;
};

// Each returns its condition. A failed check prints one line naming the case
// and `what`, and marks the running case failed; the case goes on.
bool Check(bool ok, const std::string& what);
bool CheckText(const std::string& actual, const std::string& expected, const std::string& what);
bool CheckInt(long long actual, long long expected, const std::string& what);
// A failed requirement also ends the case.
void Require(bool ok, const std::string& what);

// Prints a line of information under the running case.
void Note(const std::string& text);

// Runs the cases, one after another, each failing alone; returns the number failed.
int RunCases(const std::string& group, const std::vector<TestCase>& cases);

// Counts the running case failed with `reason`, ends the games the driver
// started, prints the summary and ends the driver; for the watchdog.
[[noreturn]] void AbortRun(const std::string& reason);

// The summary "N passed, M failed", on a line of its own.
void PrintSummary();
int FailedCount();

// Text as printable ASCII: bytes outside it as \xNN, so "£" shows as \xA3.
std::string Printable(const std::string& text);
std::string Format(const char* format, ...);

}  // namespace e2e
