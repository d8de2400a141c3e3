// What the game did to its controls, in order, as the recorder library inside it wrote it down.
#include "tests/e2e/transcript.h"

#include <cstdio>
#include <cstring>

#include "tests/e2e/check.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

static std::string ToGameText(const WCHAR* text)
{
    char bytes[kRecordTextSize * 2] = "";
    WideCharToMultiByte(1252, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

Transcript::~Transcript()
{
    if (hook)
        UnhookWindowsHookEx(hook);
    if (block)
        UnmapViewOfFile(block);
    if (mapping)
        CloseHandle(mapping);
    if (library)
        FreeLibrary(library);
}

bool Transcript::Attach(const Game& game, std::string* error)
{
    char name[64];
    snprintf(name, sizeof name, "%s%lu", kRecordBlockPrefix, game.Pid());
    // A fresh mapping is all zeros; one that the game still holds from an
    // earlier attachment goes on counting from where it stands.
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(RecordBlock), name);
    block = mapping ? static_cast<RecordBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(RecordBlock)))
                    : nullptr;
    if (!block) {
        *error = "cannot share memory with the recorder";
        return false;
    }
    block->window = reinterpret_cast<ULONG_PTR>(game.Window());
    first = block->count;

    std::string file = DriverFile("quorvant_e2e_recorder.dll");
    library = LoadLibraryA(file.c_str());
    auto proc = library ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, kRecordHookName)))
                        : nullptr;
    if (!proc) {
        *error = "cannot load the recorder " + file;
        return false;
    }
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, proc, library, game.ThreadId());
    if (!hook) {
        *error = Format("cannot hook the game's thread (error %lu)", GetLastError());
        return false;
    }
    // The game loads the library at the first message that it handles after the hook.
    bool running = e2e::WaitFor(
        [&] {
            GameAnswers(game, kStepTimeout);
            return block->hooked != 0;
        },
        kStepTimeout, 50);
    if (!running)
        *error = "the recorder does not run inside the game";
    return running;
}

void Transcript::Read()
{
    LONG count = block ? block->count : 0;
    for (LONG n = first + static_cast<LONG>(records.size()); n < count; ++n) {
        const RecordEntry& entry = block->entries[n];
        records.push_back({static_cast<RecordKind>(entry.kind), static_cast<int>(entry.control), entry.value,
                           ToGameText(entry.text)});
    }
    if (block && block->dropped)
        Check(false, Format("the recorder lost %ld records: its block is full", block->dropped));
}

size_t Transcript::Mark()
{
    Read();
    return records.size();
}

std::vector<Recorded> Transcript::Since(size_t mark)
{
    Read();
    if (mark >= records.size())
        return {};
    return std::vector<Recorded>(records.begin() + static_cast<long>(mark), records.end());
}

bool Transcript::WaitFor(size_t mark, const std::function<bool(const Recorded&)>& wanted, int timeoutMs)
{
    size_t checked = mark;
    return e2e::WaitFor(
        [&] {
            Read();
            for (; checked < records.size(); ++checked)
                if (wanted(records[checked]))
                    return true;
            return false;
        },
        timeoutMs);
}

std::vector<std::string> StatusTexts(const std::vector<Recorded>& records)
{
    std::vector<std::string> texts;
    for (const Recorded& record : records)
        if (record.kind == kRecordText && record.control == IDC_STATUS)
            texts.push_back(record.text);
    return texts;
}

bool GameAnswers(const Game& game, int timeoutMs)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(game.Window(), WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &ignored) != 0;
}

}  // namespace e2e
