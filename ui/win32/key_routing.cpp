#include "ui/win32/key_routing.h"

#include <iterator>

#include "ui/help_text.h"

namespace fifteen::ui::win32 {

namespace {

struct VirtualKey {
    WPARAM vk;
    KeyCode code;
};

// '=' with Shift is '+' on many layouts, '-' with Shift '_': both halves are the
// board's speed keys (KeyCode::equal and underscore take Shift too).
constexpr VirtualKey virtualKeys[] = {
    {VK_LEFT, KeyCode::left},       {VK_RIGHT, KeyCode::right},    {VK_UP, KeyCode::up},
    {VK_DOWN, KeyCode::down},       {VK_HOME, KeyCode::home},      {VK_END, KeyCode::end},
    {VK_ADD, KeyCode::plus},        {VK_OEM_PLUS, KeyCode::equal}, {VK_SUBTRACT, KeyCode::minus},
    {VK_OEM_MINUS, KeyCode::minus}, {VK_ESCAPE, KeyCode::escape},  {VK_F1, KeyCode::f1},
    {VK_F10, KeyCode::f10},         {'C', KeyCode::letterC},       {'H', KeyCode::letterH},
    {'T', KeyCode::letterT},        {'V', KeyCode::letterV},       {VK_INSERT, KeyCode::insert},
    {'Y', KeyCode::letterY},        {'Z', KeyCode::letterZ},       {VK_RETURN, KeyCode::enter},
};

}  // namespace

Modifiers Modifiers::held() {
    return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

KeyPress keyPressOf(WPARAM virtualKey, Modifiers modifiers) {
    KeyPress press;
    for (const VirtualKey& k : virtualKeys) {
        if (k.vk == virtualKey) press.code = k.code;
    }
    press.shift = modifiers.shift;
    press.control = modifiers.control;
    press.alt = modifiers.alt;
    return press;
}

std::optional<Key> boardKeyOf(WPARAM virtualKey, Modifiers modifiers) {
    // The Menu key has no neutral code: the window system sends it as a menu request.
    if (virtualKey == VK_APPS && !modifiers.control && !modifiers.alt) return Key::menu;
    return boardKey(keyPressOf(virtualKey, modifiers));
}

int mnemonicButton(WPARAM virtualKey, Modifiers modifiers) {
    if (!modifiers.alt || modifiers.control || modifiers.shift) return 0;
    for (const ControlHelp& help : controlHelp) {
        if (help.mnemonic != 0 && static_cast<WPARAM>(help.mnemonic) == virtualKey) return help.id;
    }
    return 0;
}

}  // namespace fifteen::ui::win32
