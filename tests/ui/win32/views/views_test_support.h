#pragma once

// What the views' tests share: OLE on the test's thread, a top-level window
// standing in for the dialog, a handler that records what the windows deliver,
// board surfaces composed from the artwork as the dialog logic composes them,
// and the bitmap files the resources were made from, read without Windows.

#include <ole2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/platform.h"

namespace fifteen::ui::win32::testing {

// A shown, active top-level window of 1100 x 1000 client pixels; it answers
// WM_GETFONT with the message font and counts the WM_CONTEXTMENU messages that
// reach it. One for the whole run, made active again for each test: without a
// window manager, Wine waits seconds for one to take an active window away.
class HostWindow {
  public:
    static HostWindow& get();
    HWND hwnd() const { return hwnd_; }
    int contextMenus = 0;

  private:
    HostWindow();
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
};

// Dispatches the messages waiting for this thread.
void pumpMessages();

struct MouseRecord {
    MouseEvent event;
    Point point;
};

class RecordingHandler : public DialogHandler {
  public:
    void onInit() override {}
    void onCommand(int) override {}
    void onTimer(int) override {}
    void onMessage(int) override {}
    void onMouse(MouseEvent event, Point client) override { mouse.push_back({event, client}); }
    void onPaint() override {
        ++paints;
        if (paintHook) paintHook();
    }
    void onClose() override {}
    void onDropText(std::string_view text) override { drops.emplace_back(text); }
    void onContextMenu(Point client) override { menus.push_back(client); }

    std::vector<MouseRecord> mouse;
    std::vector<std::string> drops;
    std::vector<Point> menus;
    int paints = 0;
    std::function<void()> paintHook;
};

// OLE for the test's thread, as the program initialises it.
class OleTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

// A board as the dialog logic draws it: the tiles of cells, then tile moving at
// (x, y) when not 0, from the one-to-one artwork with its blank filled with
// blank; sprites lists what was drawn.
Surface composeBoard(const Surface& art, Color blank, const std::vector<int32_t>& cells,
                     int32_t moving, int x, int y, BoardTiles& sprites);
// The blank cell's colour as the dialog logic takes it.
Color buttonFace();

// An uncompressed 24-bit BMP file (the artwork's) as 0x00RRGGBB pixels, top
// row first; empty on failure.
Surface readBmpFile(const std::string& path);
// The artwork files: tiles.bmp, tiles@1.5x.bmp, tiles@2x.bmp, tiles@3x.bmp.
std::string artworkFile(const char* name);

// The client area of window (children included) as the screen shows it, after
// every part of it has been painted again.
Surface captureClient(HWND window);

// The client area of window as painted by WM_PRINTCLIENT.
Surface printClient(HWND window);

// How many pixels differ between a and b over the rectangle r of a, placed at
// (bx, by) in b.
int differingPixels(const Surface& a, Rect r, const Surface& b, int bx, int by);

}  // namespace fifteen::ui::win32::testing
