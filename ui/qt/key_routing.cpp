#include "ui/qt/key_routing.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace fifteen::ui {

namespace {

// Which modifiers a key binding takes (the keypad modifier does not count).
enum class Modifiers {
    none,
    shiftOrNone,  // + is Shift+= on many layouts, so Shift is allowed for + and -
    shift,
};

struct KeyBinding {
    Qt::Key qtKey;
    Modifiers modifiers;
    Key key;
};

struct StandardBinding {
    QKeySequence::StandardKey sequence;
    Key key;
};

// Copy and Paste are whatever the platform's sequences for them are.
constexpr StandardBinding standardBindings[] = {
    {QKeySequence::Copy, Key::copy},
    {QKeySequence::Paste, Key::paste},
};

constexpr KeyBinding keyBindings[] = {
    {Qt::Key_Left, Modifiers::none, Key::left},
    {Qt::Key_Right, Modifiers::none, Key::right},
    {Qt::Key_Up, Modifiers::none, Key::up},
    {Qt::Key_Down, Modifiers::none, Key::down},
    {Qt::Key_Home, Modifiers::none, Key::home},
    {Qt::Key_End, Modifiers::none, Key::end},
    {Qt::Key_Plus, Modifiers::shiftOrNone, Key::faster},
    {Qt::Key_Equal, Modifiers::shiftOrNone, Key::faster},
    {Qt::Key_Minus, Modifiers::shiftOrNone, Key::slower},
    {Qt::Key_Underscore, Modifiers::shiftOrNone, Key::slower},
    {Qt::Key_Escape, Modifiers::shiftOrNone, Key::escape},
    {Qt::Key_F10, Modifiers::shift, Key::menu},
    {Qt::Key_H, Modifiers::none, Key::optimalMoves},
    {Qt::Key_F1, Modifiers::none, Key::help},
    {Qt::Key_T, Modifiers::none, Key::strongerTables},
};

// The board keys the output box keeps for its text cursor and its selection.
constexpr Key outputBoxKeys[] = {Key::copy, Key::left, Key::right, Key::up,
                                 Key::down, Key::home, Key::end};

bool takes(Modifiers allowed, Qt::KeyboardModifiers mods) {
    switch (allowed) {
        case Modifiers::none:
            return mods == Qt::NoModifier;
        case Modifiers::shiftOrNone:
            return (mods & ~Qt::ShiftModifier) == Qt::NoModifier;
        case Modifiers::shift:
            return mods == Qt::ShiftModifier;
    }
    return false;
}

}  // namespace

std::optional<Key> boardKey(const QKeyEvent& event) {
    for (const StandardBinding& b : standardBindings) {
        if (event.matches(b.sequence)) return b.key;
    }
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    for (const KeyBinding& b : keyBindings) {
        if (event.key() == b.qtKey && takes(b.modifiers, mods)) return b.key;
    }
    return std::nullopt;
}

bool routeControlKey(QObject* control, const QWidget* outputBox, QKeyEvent& event,
                     DialogHandler& handler) {
    auto* button = qobject_cast<QPushButton*>(control);
    if (button && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
        (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // As Space does; the template has no default button for Return to press.
        if (button->isEnabled()) button->click();
        return true;
    }
    const std::optional<Key> key = boardKey(event);
    if (!key) return false;
    if (control == outputBox && std::find(std::begin(outputBoxKeys), std::end(outputBoxKeys),
                                          *key) != std::end(outputBoxKeys))
        return false;
    const bool used = handler.onKey(*key, event.isAutoRepeat());
    // A button never gets a board key, used or not: Qt's buttons move the focus on
    // with the arrow keys.
    return used || button != nullptr;
}

}  // namespace fifteen::ui
