#pragma once

// The program's settings store: QSettings in the platform's usual place for a
// user's settings ($XDG_CONFIG_HOME/fifteen/fifteen.conf on Linux).

#include <QSettings>

#include "ui/settings.h"

namespace fifteen::ui {

class QtSettings final : public Settings {
  public:
    QtSettings();

    std::optional<std::string> value(std::string_view key) const override;
    void setValue(std::string_view key, std::string_view text) override;
    // Forgets every key, and the file says so at once.
    void clear() override;
    // The file the settings live in.
    QString fileName() const { return settings_.fileName(); }

  private:
    mutable QSettings settings_;
};

}  // namespace fifteen::ui
