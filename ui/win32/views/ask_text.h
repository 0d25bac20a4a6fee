#pragma once

// A small modal input of one line of text (Platform::askText), built from an
// in-memory dialog template: the label above the line, the line with the text it
// starts with and its selection, OK and Cancel.

#include <windows.h>

#include <optional>
#include <string>

#include "ui/platform.h"

namespace fifteen::ui::win32 {

// The dialog's controls, for tests that drive it.
inline constexpr int askTextLabelId = 100;
inline constexpr int askTextEditId = 101;

// The typed text (UTF-8), or nullopt when the user called it off. Modal to owner.
std::optional<std::string> askText(HWND owner, const TextRequest& request);

// The UTF-16 position of a UTF-8 byte offset into text (clamped to the text).
int utf16Offset(std::string_view text, int byteOffset);

}  // namespace fifteen::ui::win32
