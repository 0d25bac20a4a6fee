#pragma once

// The Win32 facade under a recording handler: the dialog built and shown, and
// messages served while a test waits.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/platform.h"
#include "ui/win32/win32_platform.h"

namespace fifteen::ui::win32::test {

class RecordingHandler : public DialogHandler {
  public:
    explicit RecordingHandler(Win32Platform& platform) : platform_(platform) {}

    void onInit() override { ++inits; }
    void onCommand(int id) override {
        commands.push_back(id);
        checkedAtCommand.push_back(platform_.isChecked(id));
    }
    void onTimer(int id) override { timers.push_back(id); }
    void onMessage(int message) override {
        if (messageHook) messageHook(message);
        messages.push_back(message);
    }
    void onMouse(MouseEvent event, Point client) override {
        if (event != MouseEvent::move) presses.push_back(client);
    }
    void onPaint() override {}
    void onClose() override {
        ++closes;
        if (closeHook) closeHook();
    }
    bool onKey(Key key, bool) override {
        keys.push_back(key);
        return keyUsed;
    }

    int inits = 0, closes = 0;
    bool keyUsed = true;
    std::vector<Key> keys;
    std::vector<Point> presses;  // button presses and releases on the board
    std::vector<int> commands, timers, messages;
    std::vector<bool> checkedAtCommand;
    std::function<void()> closeHook;
    std::function<void(int)> messageHook;

  private:
    Win32Platform& platform_;
};

class Win32DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform = std::make_unique<Win32Platform>();
        handler = std::make_unique<RecordingHandler>(*platform);
        platform->build(*handler);
        // Not shown: without a window manager Wine waits two seconds to take a
        // shown window away, and nothing here needs the window on the screen.
        platform->pump(20);
    }
    void TearDown() override {
        handler.reset();
        platform.reset();
    }

    std::unique_ptr<Win32Platform> platform;
    std::unique_ptr<RecordingHandler> handler;
};

// Holds the modifier keys down in the thread's key state, as typed keys would.
inline void holdModifiers(bool shift, bool control, bool alt) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const auto set = [&](int vk, bool down) { state[vk] = down ? 0x80 : 0; };
    set(VK_SHIFT, shift);
    set(VK_LSHIFT, shift);
    set(VK_CONTROL, control);
    set(VK_LCONTROL, control);
    set(VK_MENU, alt);
    set(VK_LMENU, alt);
    SetKeyboardState(state);
}

// A key pressed at window: WM_KEYDOWN (WM_SYSKEYDOWN with Alt) through the loop.
inline void pressKey(Win32Platform& platform, HWND window, WPARAM vk, bool alt = false) {
    PostMessageW(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? (1 << 29) | 1 : 1);
    platform.pump(30);
}

}  // namespace fifteen::ui::win32::test
