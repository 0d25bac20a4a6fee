#pragma once

// What the program remembers between runs: a small key/value store of texts. The
// dialog logic reads its choices from it at start-up and writes each one as it
// changes; the Qt layer keeps the window's place in it. The program's store is
// QSettings' (ui/qt/qt_settings.h); MemorySettings serves tests, and a dialog
// given no store.
//
// A further choice to keep is one key below, read in MainDialog::restoreSettings
// and written where the choice changes.

#include <charconv>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace fifteen::ui {

namespace settingKeys {
// The window's frame position and client size, in pixels.
inline constexpr const char* windowX = "window/x";
inline constexpr const char* windowY = "window/y";
inline constexpr const char* windowWidth = "window/width";
inline constexpr const char* windowHeight = "window/height";
// The index into playbackSpeeds.
inline constexpr const char* playbackSpeed = "playback/speed";
// The context menu's "Paste: blank first".
inline constexpr const char* pasteBlankFirst = "paste/blankFirst";
// The context menu's "Show optimal moves".
inline constexpr const char* showOptimalMoves = "marks/optimalMoves";
// The context menu's "Stronger tables" (the dialog's --tables overrides it).
inline constexpr const char* strongerTables = "tables/stronger";
}  // namespace settingKeys

class Settings {
  public:
    virtual ~Settings() = default;
    // The stored text of key; nullopt when none is stored.
    virtual std::optional<std::string> value(std::string_view key) const = 0;
    virtual void setValue(std::string_view key, std::string_view text) = 0;
    // Forgets every key.
    virtual void clear() = 0;

    // A stored whole number in [low, high]; fallback when none is stored, or the
    // stored text is no such number (a hand-edited file is not trusted).
    int intValue(std::string_view key, int fallback, int low, int high) const {
        const std::optional<std::string> text = value(key);
        int number = 0;
        if (!text) return fallback;
        const char* end = text->data() + text->size();
        const auto [rest, error] = std::from_chars(text->data(), end, number);
        if (error != std::errc() || rest != end || number < low || number > high) return fallback;
        return number;
    }
    bool boolValue(std::string_view key, bool fallback) const {
        const std::optional<std::string> text = value(key);
        if (text == "true") return true;
        if (text == "false") return false;
        return fallback;
    }
    void setInt(std::string_view key, int number) { setValue(key, std::to_string(number)); }
    void setBool(std::string_view key, bool on) { setValue(key, on ? "true" : "false"); }
};

// Kept in memory only, forgotten at the end of the process.
class MemorySettings final : public Settings {
  public:
    std::optional<std::string> value(std::string_view key) const override {
        const auto it = values_.find(key);
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void setValue(std::string_view key, std::string_view text) override {
        values_.insert_or_assign(std::string(key), std::string(text));
    }
    void clear() override { values_.clear(); }
    std::size_t size() const { return values_.size(); }

  private:
    std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace fifteen::ui
