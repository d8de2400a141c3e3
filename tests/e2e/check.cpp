// The driver's test frame: counts passed and failed cases and reports each failure.
#include "tests/e2e/check.h"

#include <cstdarg>
#include <cstdio>

#include "tests/e2e/harness.h"

namespace e2e {

static int passed = 0, failed = 0;
static std::string running;
static bool runningFailed = false;

bool Check(bool ok, const std::string& what)
{
    if (!ok) printf("  FAIL %s: %s\n", running.c_str(), what.c_str()), runningFailed = true;
    return ok;
}

bool CheckText(const std::string& actual, const std::string& expected, const std::string& what)
{
    return Check(actual == expected, what + ": got \"" + Printable(actual) + "\", expected \"" + Printable(expected) + "\"");
}

void Require(bool ok, const std::string& what) { if (!ok) throw CaseAbort{what}; }
void Note(const std::string& text) { printf("  note %s: %s\n", running.c_str(), text.c_str()); }
int PrintSummary() { return printf("%d passed, %d failed\n", passed, failed), failed ? 1 : 0; }

void RunCases(const std::string& group, const std::vector<TestCase>& cases)
{
    for (const TestCase& testCase : cases) {
        running = group + ": " + testCase.name;
        runningFailed = false;
        DWORD start = GetTickCount();
        try { testCase.run(); } catch (const CaseAbort& abort) { Check(false, "ended early: " + abort.reason); }
        printf("%s %s (%.1f s)\n", runningFailed ? "FAILED" : "ok    ", running.c_str(), (GetTickCount() - start) / 1000.0);
        ++(runningFailed ? failed : passed);
    }
}

void AbortRun(const std::string& reason)
{
    if (!running.empty()) printf("  FAIL %s: %s\nFAILED %s\n", running.c_str(), reason.c_str(), running.c_str()), ++failed;
    EndStartedProcesses(), PrintSummary(), ExitProcess(1);
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) out += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : Format("\\x%02X", c);
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
