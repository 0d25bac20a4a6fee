#include "ui/qt/qt_settings.h"

namespace fifteen::ui {

namespace {

QString toKey(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

// Named here rather than from the application's names, so that the store is the
// same whichever program or test opens it, with or without a QApplication.
QtSettings::QtSettings()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("fifteen"),
                QStringLiteral("fifteen")) {}

std::optional<std::string> QtSettings::value(std::string_view key) const {
    const QVariant stored = settings_.value(toKey(key));
    if (!stored.isValid()) return std::nullopt;
    return stored.toString().toStdString();
}

void QtSettings::setValue(std::string_view key, std::string_view text) {
    settings_.setValue(toKey(key), toKey(text));
}

void QtSettings::clear() {
    settings_.clear();
    settings_.sync();
}

}  // namespace fifteen::ui
