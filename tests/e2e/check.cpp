// The driver's test frame: counts passed and failed cases and reports each failure.
#include "tests/e2e/check.h"

#include <cstdarg>
#include <cstdio>

#include "tests/e2e/harness.h"

namespace e2e {

static int passedCases = 0, failedCases = 0;
static std::string currentCase;
static bool currentFailed = false;

bool Check(bool ok, const std::string& what)
{
    if (!ok)
        printf("  FAIL %s: %s\n", currentCase.c_str(), what.c_str());
    currentFailed = currentFailed || !ok;
    return ok;
}

bool CheckText(const std::string& actual, const std::string& expected, const std::string& what)
{
    return Check(actual == expected, what + ": got \"" + Printable(actual) + "\", expected \"" +
                                         Printable(expected) + "\"");
}

bool CheckInt(long long actual, long long expected, const std::string& what)
{
    return Check(actual == expected, Format("%s: got %lld, expected %lld", what.c_str(), actual, expected));
}

void Require(bool ok, const std::string& what)
{
    if (!ok)
        throw CaseAbort{what};
}

void Note(const std::string& text)
{
    printf("  note %s: %s\n", currentCase.c_str(), text.c_str());
}

int RunCases(const std::string& group, const std::vector<TestCase>& cases)
{
    int failedBefore = failedCases;
    for (const TestCase& testCase : cases) {
        currentCase = group + ": " + testCase.name;
        currentFailed = false;
        DWORD start = GetTickCount();
        try {
            testCase.run();
        } catch (const CaseAbort& abort) {
            Check(false, "ended early: " + abort.reason);
        }
        printf("%s %s (%.1f s)\n", currentFailed ? "FAILED" : "ok    ", currentCase.c_str(),
               (GetTickCount() - start) / 1000.0);
        ++(currentFailed ? failedCases : passedCases);
    }
    return failedCases - failedBefore;
}

void AbortRun(const std::string& reason)
{
    if (!currentCase.empty()) {
        printf("  FAIL %s: %s\nFAILED %s\n", currentCase.c_str(), reason.c_str(), currentCase.c_str());
        ++failedCases;
    }
    EndStartedProcesses();
    PrintSummary();
    ExitProcess(1);
}

void PrintSummary()
{
    printf("%d passed, %d failed\n", passedCases, failedCases);
}

int FailedCount()
{
    return failedCases;
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text)
        out += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : Format("\\x%02X", c);
    return out;
}

std::string Format(const char* format, ...)
{
    char buffer[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

}  // namespace e2e
