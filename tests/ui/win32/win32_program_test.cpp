// The real fifteen.exe end to end, driven from another process as a user would:
// once Solve is enabled, a position pasted through the board's menu (the Menu
// key), Solve, the solution copied through the menu, and the copied moves
// replayed from the position to the goal; then the close box ends the program,
// which keeps its window's place in the INI file of its own APPDATA.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "puzzle/board.h"
#include "puzzle/move_text.h"
#include "puzzle/solution_replay.h"
#include "ui/dialog_actions.h"
#include "ui/dialog_ids.h"
#include "ui/help_text.h"
#include "ui/win32/text.h"

namespace fifteen::ui::win32::test {
namespace {

using namespace std::chrono_literals;

constexpr int boardId = 1015;

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::string textOf(HWND window) {
    // WM_GETTEXT is carried across processes by the system.
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return narrow(text);
}

struct Found {
    DWORD process;
    const wchar_t* className;
    HWND window = nullptr;
};

HWND visibleWindowOf(DWORD process, const wchar_t* className) {
    Found found{process, className};
    EnumWindows(
        [](HWND w, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<Found*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (owner == f->process && IsWindowVisible(w) && lstrcmpiW(cls, f->className) == 0) {
                f->window = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

bool setClipboard(const std::string& text) {
    const std::wstring wide = widen(text);
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1,
              static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return set;
}

std::string clipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = narrow(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// A position some random moves away from the goal (never straight back).
Board scrambled(int moves, unsigned seed) {
    Board board = goalBoard;
    std::mt19937 random(seed);
    int blank = 15, previous = -1;
    for (int made = 0; made < moves;) {
        const int step[] = {-4, 4, -1, 1};
        const int to = blank + step[random() % 4];
        if (to < 0 || to > 15 || to == previous) continue;
        if ((to % 4 != blank % 4) && (to / 4 != blank / 4)) continue;
        board[static_cast<size_t>(blank)] = board[static_cast<size_t>(to)];
        board[static_cast<size_t>(to)] = 0;
        previous = blank;
        blank = to;
        ++made;
    }
    return board;
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        home = std::filesystem::path(temp) /
               ("fifteen-program-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(home);
        std::filesystem::create_directories(home / "roaming");
        std::filesystem::create_directories(home / "local");
        // The program's settings and tables go to folders of this test only.
        SetEnvironmentVariableW(L"APPDATA", (home / "roaming").wstring().c_str());
        SetEnvironmentVariableW(L"LOCALAPPDATA", (home / "local").wstring().c_str());
        // A choice kept from an earlier run, which --reset-settings forgets.
        std::filesystem::create_directories(home / "roaming" / "fifteen");
        WritePrivateProfileStringW(L"test", L"sentinel", L"kept", iniFile().c_str());
        std::wstring command = L"\"" + widen(FIFTEEN_PROGRAM) + L"\" --reset-settings";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        CloseHandle(process.hThread);
    }
    void TearDown() override {
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 3);
            CloseHandle(process.hProcess);
        }
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }

    // Opens the board's menu with the Menu key and chooses the entry of action: the
    // menu lists the actions in their order, and the arrow keys pass over the
    // separators (a menu of another process cannot be read under Wine).
    bool chooseFromMenu(HWND board, Action action) {
        PostMessageW(board, WM_KEYDOWN, VK_APPS, 1);
        HWND menuWindow = nullptr;
        if (!waitFor(
                [&] {
                    return (menuWindow = visibleWindowOf(process.dwProcessId, L"#32768")) !=
                           nullptr;
                },
                10s))
            return false;
        for (int k = 0; k <= static_cast<int>(action); ++k)
            PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 1);
        return waitFor([&] { return visibleWindowOf(process.dwProcessId, L"#32768") == nullptr; },
                       10s);
    }

    std::wstring iniFile() const {
        return (home / "roaming" / "fifteen" / "fifteen.ini").wstring();
    }

    std::filesystem::path home;
    PROCESS_INFORMATION process{};
};

TEST_F(ProgramTest, PastedPositionIsSolvedAndTheCopiedSolutionReachesTheGoal) {
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor(
        [&] { return (dialog = visibleWindowOf(process.dwProcessId, L"#32770")) != nullptr; },
        60s));
    EXPECT_EQ(textOf(dialog).rfind("fifteen ", 0), 0u) << textOf(dialog);
    HWND solve = GetDlgItem(dialog, idSolve), board = GetDlgItem(dialog, boardId);
    ASSERT_NE(solve, nullptr);
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(solve) != FALSE; }, 280s))
        << "the tables were not built";

    const Board problem = scrambled(40, 20261209);
    std::string position;
    for (const int32_t tile : problem) position += std::to_string(tile) + " ";
    ASSERT_TRUE(setClipboard(position));
    ASSERT_TRUE(chooseFromMenu(board, Action::pastePosition));
    EXPECT_TRUE(
        waitFor([&] { return textOf(GetDlgItem(dialog, idStatus)) == " Pasted position"; }, 10s))
        << textOf(GetDlgItem(dialog, idStatus));

    SendMessageW(solve, BM_CLICK, 0, 0);
    HWND output = GetDlgItem(dialog, idOutput);
    ASSERT_TRUE(waitFor(
        [&] { return textOf(output).find("Optimal solution is ") != std::string::npos; }, 120s))
        << textOf(output);
    const std::string report = textOf(output);
    const int length = std::atoi(report.c_str() + report.find("Optimal solution is ") + 20);
    EXPECT_GT(length, 0);
    EXPECT_LE(length, 40);

    ASSERT_TRUE(setClipboard(""));
    ASSERT_TRUE(chooseFromMenu(board, Action::copySolution));
    const std::string copied = clipboard();
    const ParsedMoves parsed = parseMoves(copied);
    ASSERT_TRUE(parsed.ok) << copied;
    std::vector<int32_t> tiles;
    for (const WrittenMove& move : parsed.moves) tiles.push_back(move.tile);
    std::string directions;
    EXPECT_TRUE(replaySolution(problem, tiles, directions)) << copied;
    EXPECT_EQ(static_cast<int>(tiles.size()), length) << copied;

    // The arrows belong to the board while a button has the focus: a step forward.
    char status[64];
    std::snprintf(status, sizeof status, " %2d / %2d moves", 1, length);
    PostMessageW(solve, WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_TRUE(waitFor([&] { return textOf(GetDlgItem(dialog, idStatus)) == status; }, 10s))
        << textOf(GetDlgItem(dialog, idStatus));
    // Trace plays the solution back to its end and puts the problem back.
    SendMessageW(GetDlgItem(dialog, idTrace), BM_CLICK, 0, 0);
    std::snprintf(status, sizeof status, " %2d / %2d moves", length, length);
    EXPECT_TRUE(waitFor([&] { return textOf(GetDlgItem(dialog, idStatus)) == status; }, 60s))
        << textOf(GetDlgItem(dialog, idStatus));
    std::snprintf(status, sizeof status, " %2d / %2d moves", 0, length);
    EXPECT_TRUE(waitFor([&] { return textOf(GetDlgItem(dialog, idStatus)) == status; }, 30s))
        << textOf(GetDlgItem(dialog, idStatus));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, idTrace)));

    // F1 shows the help in a window of its own, beside the dialog.
    PostMessageW(board, WM_KEYDOWN, VK_F1, 1);
    HWND help = nullptr;
    EXPECT_TRUE(waitFor(
        [&] { return (help = FindWindowW(nullptr, widen(helpTitle).c_str())) != nullptr; }, 10s));
    if (help) {
        EXPECT_EQ(GetWindow(help, GW_OWNER), dialog);
    }

    // The close box ends the program, which keeps its window's place.
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    wchar_t width[32] = {}, sentinel[32] = {};
    GetPrivateProfileStringW(L"window", L"width", L"", width, 32, iniFile().c_str());
    EXPECT_GT(_wtoi(width), 0);
    GetPrivateProfileStringW(L"test", L"sentinel", L"gone", sentinel, 32, iniFile().c_str());
    EXPECT_EQ(std::wstring(sentinel), L"gone");
}

// Closed while a long solve runs, the program stops the search and ends at once:
// the solve thread's last message to the dialog cannot hold it up.
TEST_F(ProgramTest, ClosingWhileASolveRunsEndsTheProgram) {
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor(
        [&] { return (dialog = visibleWindowOf(process.dwProcessId, L"#32770")) != nullptr; },
        60s));
    HWND solve = GetDlgItem(dialog, idSolve), board = GetDlgItem(dialog, boardId);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(solve) != FALSE; }, 280s));
    // One of the longest searches of Korf's hundred (66 moves).
    ASSERT_TRUE(setClipboard("0 8 10 6 11 7 9 1 12 4 13 14 15 3 2 5"));
    ASSERT_TRUE(chooseFromMenu(board, Action::pastePosition));
    SendMessageW(solve, BM_CLICK, 0, 0);
    EXPECT_TRUE(
        waitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, idCancel)) != FALSE; }, 10s));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(textOf(GetDlgItem(dialog, idOutput)).find("Optimal solution is"), std::string::npos);
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

// What a program of the GUI subsystem writes for --version, --help and a mistake,
// with its standard handles redirected (as a console's pipe or a file would be),
// and its exit codes.
struct Answer {
    DWORD code = 99;
    std::string out;
    std::string err;
};

Answer run(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"fifteen-answer-" + std::to_wstring(GetCurrentProcessId());
    HANDLE out = CreateFileW((base + L".out").c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY, nullptr);
    HANDLE err = CreateFileW((base + L".err").c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + widen(FIFTEEN_PROGRAM) + L"\" " + arguments;
    Answer answer;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &answer.code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    const auto readAll = [](HANDLE file) {
        std::string text(static_cast<size_t>(GetFileSize(file, nullptr)), '\0');
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        DWORD got = 0;
        ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
        return text;
    };
    answer.out = readAll(out);
    answer.err = readAll(err);
    CloseHandle(out);
    CloseHandle(err);
    DeleteFileW((base + L".out").c_str());
    DeleteFileW((base + L".err").c_str());
    return answer;
}

TEST(ProgramConsole, VersionHelpAndRefusalGoToTheRedirectedHandlesWithTheirExitCodes) {
    const Answer version = run(L"--version");
    EXPECT_EQ(version.code, 0u);
    EXPECT_EQ(version.out.rfind("fifteen ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.back(), '\n');
    const Answer help = run(L"--help");
    EXPECT_EQ(help.code, 0u);
    EXPECT_EQ(help.out.rfind("usage: fifteen", 0), 0u) << help.out;
    EXPECT_TRUE(help.err.empty());
    const Answer refusal = run(L"--parallel nowhere");
    EXPECT_EQ(refusal.code, 2u);
    EXPECT_EQ(refusal.err.rfind("fifteen: ", 0), 0u) << refusal.err;
    EXPECT_NE(refusal.err.find("usage: fifteen"), std::string::npos);
    EXPECT_TRUE(refusal.out.empty());
}

}  // namespace
}  // namespace fifteen::ui::win32::test
