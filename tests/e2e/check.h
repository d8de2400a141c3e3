// The driver's test frame: cases in groups, checks that name the failing row, the summary.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct TestCase { std::string name; std::function<void()> run; };
struct TestGroup { std::string name; std::vector<TestCase> (*cases)(); };
struct CaseAbort { std::string reason; };   // thrown by Require: the case cannot go on

// Each returns its condition; a failure prints a line naming the case and `what`.
bool Check(bool ok, const std::string& what);
bool CheckText(const std::string& actual, const std::string& expected, const std::string& what);
bool CheckInt(long long actual, long long expected, const std::string& what);
void Require(bool ok, const std::string& what);
void Note(const std::string& text);
// Runs the cases, each failing alone; returns how many failed.
int RunCases(const std::string& group, const std::vector<TestCase>& cases);
[[noreturn]] void AbortRun(const std::string& reason);   // the watchdog's way out
void PrintSummary();   // "N passed, M failed" on a line of its own
int FailedCount();
std::string Printable(const std::string& text);   // "£" shows as \xA3
std::string Format(const char* format, ...);

}  // namespace e2e
