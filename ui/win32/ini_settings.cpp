#include "ui/win32/ini_settings.h"

#include <windows.h>

#include <shlobj.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "ui/win32/text.h"

namespace fifteen::ui::win32 {

namespace {

// The section and entry name of key: before and after its first '/'.
std::pair<std::wstring, std::wstring> split(std::string_view key) {
    const size_t slash = key.find('/');
    if (slash == std::string_view::npos) return {L"fifteen", widen(key)};
    return {widen(key.substr(0, slash)), widen(key.substr(slash + 1))};
}

// What no stored value can be: a value holds no line end.
constexpr const wchar_t* absent = L"\n";

}  // namespace

IniSettings::IniSettings() : file_(userFile()) {}

std::wstring IniSettings::userFile() {
    // The environment's folder first, so that tests and portable setups can move it.
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(L"APPDATA", folder.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        wchar_t known[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, known);
        folder = known;
    } else {
        folder.resize(length);
    }
    return folder + L"\\fifteen\\fifteen.ini";
}

std::optional<std::string> IniSettings::value(std::string_view key) const {
    const auto [section, name] = split(key);
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(section.c_str(), name.c_str(), absent, buffer, 1024, file_.c_str());
    if (std::wstring_view(buffer) == absent) return std::nullopt;
    return narrow(buffer);
}

void IniSettings::setValue(std::string_view key, std::string_view text) {
    std::error_code ignored;  // a folder that cannot be made fails the write below
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ignored);
    const auto [section, name] = split(key);
    WritePrivateProfileStringW(section.c_str(), name.c_str(), widen(text).c_str(), file_.c_str());
}

void IniSettings::clear() {
    // The system's cache of the file goes with it.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file_.c_str());
    DeleteFileW(file_.c_str());
}

}  // namespace fifteen::ui::win32
