#include "ui/qt/key_routing.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>

#include "ui/key_policy.h"

namespace fifteen::ui {

namespace {

struct QtKey {
    int qtKey;
    KeyCode code;
};

constexpr QtKey qtKeys[] = {
    {Qt::Key_Left, KeyCode::left},     {Qt::Key_Right, KeyCode::right},
    {Qt::Key_Up, KeyCode::up},         {Qt::Key_Down, KeyCode::down},
    {Qt::Key_Home, KeyCode::home},     {Qt::Key_End, KeyCode::end},
    {Qt::Key_Plus, KeyCode::plus},     {Qt::Key_Equal, KeyCode::equal},
    {Qt::Key_Minus, KeyCode::minus},   {Qt::Key_Underscore, KeyCode::underscore},
    {Qt::Key_Escape, KeyCode::escape}, {Qt::Key_F1, KeyCode::f1},
    {Qt::Key_F10, KeyCode::f10},       {Qt::Key_C, KeyCode::letterC},
    {Qt::Key_H, KeyCode::letterH},     {Qt::Key_T, KeyCode::letterT},
    {Qt::Key_V, KeyCode::letterV},     {Qt::Key_Insert, KeyCode::insert},
    {Qt::Key_Y, KeyCode::letterY},     {Qt::Key_Z, KeyCode::letterZ},
    {Qt::Key_Return, KeyCode::enter},  {Qt::Key_Enter, KeyCode::enter},
};

KeyPress keyPressOf(const QKeyEvent& event) {
    KeyPress press;
    for (const QtKey& k : qtKeys) {
        if (event.key() == k.qtKey) press.code = k.code;
    }
    // The keypad's modifier does not count: its + and - are the board's too.
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    press.shift = mods.testFlag(Qt::ShiftModifier);
    press.control = mods.testFlag(Qt::ControlModifier);
    press.alt = (mods & ~(Qt::ShiftModifier | Qt::ControlModifier)) != Qt::NoModifier;
    return press;
}

ControlKind kindOf(QObject* control, const QWidget* outputBox) {
    if (qobject_cast<QPushButton*>(control)) return ControlKind::pushButton;
    return control == outputBox ? ControlKind::outputBox : ControlKind::leftText;
}

}  // namespace

std::optional<Key> boardKey(const QKeyEvent& event) {
    // Copy and Paste are also whatever this desktop's sequences for them are.
    if (event.matches(QKeySequence::Copy)) return Key::copy;
    if (event.matches(QKeySequence::Paste)) return Key::paste;
    if (event.matches(QKeySequence::Undo)) return Key::undo;
    if (event.matches(QKeySequence::Redo)) return Key::redo;
    return boardKey(keyPressOf(event));
}

bool routeControlKey(QObject* control, const QWidget* outputBox, QKeyEvent& event,
                     DialogHandler& handler) {
    auto* button = qobject_cast<QPushButton*>(control);
    const std::optional<Key> key = boardKey(event);
    switch (routeKey(kindOf(control, outputBox), keyPressOf(event), key)) {
        case KeyRoute::pressButton:
            if (button->isEnabled()) button->click();
            return true;
        case KeyRoute::control:
            return false;
        case KeyRoute::board:
            break;
    }
    const bool used = handler.onKey(*key, event.isAutoRepeat());
    // A button never gets a board key, used or not: Qt's buttons move the focus on
    // with the arrow keys.
    return used || button != nullptr;
}

}  // namespace fifteen::ui
