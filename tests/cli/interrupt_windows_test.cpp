#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "cli/interrupt.h"
#include "cli/options.h"
#include "search/solver.h"

namespace fifteen::cli {
namespace {

// What the console does on Ctrl+C or Ctrl+Break: a new thread running
// kernelbase's CtrlRoutine, which calls the handlers (Wine without a console
// delivers no GenerateConsoleCtrlEvent, so the tests start that thread themselves).
void pressControl(DWORD event) {
    const auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
    if (routine == nullptr) std::_Exit(4);
    const HANDLE thread = CreateThread(
        nullptr, 0, routine, reinterpret_cast<void*>(static_cast<ULONG_PTR>(event)), 0, nullptr);
    if (thread == nullptr) std::_Exit(5);
    CloseHandle(thread);
}

bool interruptSeenWithin(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!interruptRequested() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return interruptRequested();
}

// The console's Ctrl+C reaches the watcher (its handler runs on a thread of its
// own); a second one, here a Ctrl+Break, ends a program that is slow to stop with
// the code of an interrupt. In a child of its own: the flag is the process's.
TEST(InterruptWatcherDeathTest, ASecondInterruptEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Solver solver;
            InterruptWatcher watcher(solver);
            pressControl(CTRL_C_EVENT);
            if (!interruptSeenWithin(std::chrono::seconds(10))) std::_Exit(3);
            pressControl(CTRL_BREAK_EVENT);
            std::this_thread::sleep_for(std::chrono::seconds(10));
            std::_Exit(0);
        },
        testing::ExitedWithCode(exitInterrupted), "");
}

}  // namespace
}  // namespace fifteen::cli
