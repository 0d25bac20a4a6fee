#pragma once

// The program's settings store on Windows: an INI file, %APPDATA%\fifteen\fifteen.ini.
// A key "group/name" is the entry name of the section [group].

#include <string>

#include "ui/settings.h"

namespace fifteen::ui::win32 {

class IniSettings final : public Settings {
  public:
    // The user's file.
    IniSettings();
    // Another file (tests).
    explicit IniSettings(std::wstring file) : file_(std::move(file)) {}

    std::optional<std::string> value(std::string_view key) const override;
    void setValue(std::string_view key, std::string_view text) override;
    // Forgets every key: the file is removed.
    void clear() override;
    const std::wstring& fileName() const { return file_; }

    // The user's file: in %APPDATA% (the roaming profile's folder).
    static std::wstring userFile();

  private:
    std::wstring file_;
};

}  // namespace fifteen::ui::win32
