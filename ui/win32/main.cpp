// The desktop program on Windows: the main dialog over the Win32 platform layer.
// A program of the GUI subsystem: --help, --version and refusals are written to
// the console it was started from, or shown in a message box without one.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/desktop_options.h"
#include "fifteen/version.h"
#include "ui/main_dialog.h"
#include "ui/win32/ini_settings.h"
#include "ui/win32/text.h"
#include "ui/win32/win32_platform.h"

namespace {

// Writes text to the standard handle which (redirected, or the parent's console);
// false when there is neither.
bool writeStandard(DWORD which, const std::string& text) {
    HANDLE out = GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) == FILE_TYPE_UNKNOWN) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
            return false;
        // The C runtime's streams too, for anything written through them later.
        FILE* ignored = nullptr;
        ignored = std::freopen("CONOUT$", "w", stdout);
        ignored = std::freopen("CONOUT$", "w", stderr);
        static_cast<void>(ignored);
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE) return false;
    }
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        // A console shows UTF-16; the console's line ends are "\r\n".
        std::string lines;
        for (const char c : text) {
            if (c == '\n') lines += '\r';
            lines += c;
        }
        const std::wstring wide = fifteen::ui::win32::widen(lines);
        DWORD written = 0;
        return WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }
    DWORD written = 0;
    return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void tell(DWORD which, const std::string& text, UINT icon) {
    if (!writeStandard(which, text))
        MessageBoxW(nullptr, fifteen::ui::win32::widen(text).c_str(), L"fifteen", MB_OK | icon);
}

}  // namespace

int main(int argc, char** argv) {
    const fifteen::cli::DesktopOptions options =
        fifteen::cli::parseDesktopOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
        case fifteen::cli::DesktopOptions::Action::version:
            tell(STD_OUTPUT_HANDLE,
                 std::string("fifteen ") + fifteen::versionString + " (" + fifteen::gitRevision +
                     ")\n",
                 MB_ICONINFORMATION);
            return 0;
        case fifteen::cli::DesktopOptions::Action::help:
            tell(STD_OUTPUT_HANDLE, fifteen::cli::desktopUsage, MB_ICONINFORMATION);
            return 0;
        case fifteen::cli::DesktopOptions::Action::refuse:
            tell(STD_ERROR_HANDLE, "fifteen: " + options.error + "\n" + fifteen::cli::desktopUsage,
                 MB_ICONERROR);
            return 2;
        case fifteen::cli::DesktopOptions::Action::run:
            break;
    }
    fifteen::ui::win32::IniSettings settings;
    if (options.resetSettings) settings.clear();
    fifteen::ui::win32::Win32Platform platform;
    platform.keepWindowIn(settings);
    fifteen::ui::ProgramServices services(options.design);
    fifteen::ui::MainDialog dialog(platform, services);
    dialog.rememberIn(settings);
    if (options.strongerTables) dialog.setStrongerTables(*options.strongerTables);
    return platform.run(dialog);
}
