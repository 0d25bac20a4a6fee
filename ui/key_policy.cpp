#include "ui/key_policy.h"

#include <algorithm>
#include <iterator>

namespace fifteen::ui {

namespace {

// Which modifiers a key binding takes.
enum class Modifiers {
    none,
    shiftOrNone,
    shift,
    control,
    controlShift,
};

struct KeyBinding {
    KeyCode code;
    Modifiers modifiers;
    Key key;
};

constexpr KeyBinding keyBindings[] = {
    {KeyCode::left, Modifiers::none, Key::left},
    {KeyCode::right, Modifiers::none, Key::right},
    {KeyCode::up, Modifiers::none, Key::up},
    {KeyCode::down, Modifiers::none, Key::down},
    {KeyCode::home, Modifiers::none, Key::home},
    {KeyCode::end, Modifiers::none, Key::end},
    {KeyCode::plus, Modifiers::shiftOrNone, Key::faster},
    {KeyCode::equal, Modifiers::shiftOrNone, Key::faster},
    {KeyCode::minus, Modifiers::shiftOrNone, Key::slower},
    {KeyCode::underscore, Modifiers::shiftOrNone, Key::slower},
    {KeyCode::escape, Modifiers::shiftOrNone, Key::escape},
    {KeyCode::f10, Modifiers::shift, Key::menu},
    {KeyCode::letterH, Modifiers::none, Key::optimalMoves},
    {KeyCode::f1, Modifiers::none, Key::help},
    {KeyCode::letterT, Modifiers::none, Key::strongerTables},
    {KeyCode::letterC, Modifiers::control, Key::copy},
    {KeyCode::insert, Modifiers::control, Key::copy},
    {KeyCode::letterV, Modifiers::control, Key::paste},
    {KeyCode::insert, Modifiers::shift, Key::paste},
    {KeyCode::letterZ, Modifiers::control, Key::undo},
    {KeyCode::letterY, Modifiers::control, Key::redo},
    {KeyCode::letterZ, Modifiers::controlShift, Key::redo},
};

constexpr Key outputBoxKeys[] = {Key::copy, Key::left, Key::right, Key::up,
                                 Key::down, Key::home, Key::end};

bool takes(Modifiers allowed, const KeyPress& press) {
    if (press.alt) return false;
    switch (allowed) {
        case Modifiers::none:
            return !press.shift && !press.control;
        case Modifiers::shiftOrNone:
            return !press.control;
        case Modifiers::shift:
            return press.shift && !press.control;
        case Modifiers::control:
            return press.control && !press.shift;
        case Modifiers::controlShift:
            return press.control && press.shift;
    }
    return false;
}

}  // namespace

std::optional<Key> boardKey(const KeyPress& press) {
    for (const KeyBinding& b : keyBindings) {
        if (press.code == b.code && takes(b.modifiers, press)) return b.key;
    }
    return std::nullopt;
}

bool outputBoxKeeps(Key key) {
    return std::find(std::begin(outputBoxKeys), std::end(outputBoxKeys), key) !=
           std::end(outputBoxKeys);
}

KeyRoute routeKey(ControlKind at, const KeyPress& press, std::optional<Key> key) {
    const bool button = at == ControlKind::pushButton || at == ControlKind::pushCheckBox;
    // The template has no default button for Return to press.
    if (button && press.code == KeyCode::enter && !press.shift && !press.control && !press.alt)
        return KeyRoute::pressButton;
    if (!key) return KeyRoute::control;
    if (at == ControlKind::outputBox && outputBoxKeeps(*key)) return KeyRoute::control;
    return KeyRoute::board;
}

}  // namespace fifteen::ui
