#pragma once

// The board as a child window of the dialog: painted with GDI from the board
// surface (above 256 pixels, from tile artwork of the shown size), with the
// optimal moves' marks, the note band and, while it has the keyboard focus,
// dotted marks around it. It takes the board's mouse, right clicks and drops and
// hands them to the dialog logic in the logic's own client coordinates.

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "ui/platform.h"

struct IDropTarget;

namespace fifteen::ui::win32 {

// The board window's control id (not one of the template's).
inline constexpr int boardWindowId = 1015;

class DropTarget;

class BoardWindow {
  public:
    // The board as a focusable child window of dialog (WS_CHILD|WS_TABSTOP), control
    // id boardWindowId, not yet placed. Delivers mouse (in the dialog logic's client
    // coordinates, through boardPointToLogic), right clicks (onContextMenu), text
    // drops (onDropText) to handler. The dialog's message loop routes keys; the
    // window answers WM_GETDLGCODE with DLGC_WANTARROWS | DLGC_WANTCHARS. Drops
    // need OLE initialised on this thread (OleInitialize) before.
    BoardWindow(HWND dialog, DialogHandler& handler);
    ~BoardWindow();
    BoardWindow(const BoardWindow&) = delete;
    BoardWindow& operator=(const BoardWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // After each layout: the logic's board rectangle (its own size, dialog client
    // coordinates) and where it is shown (larger in a larger window or at a higher
    // DPI). The window itself covers shown and a margin round it for the focus
    // marks (focusMargin).
    void place(Rect logicBoard, Rect shown);
    Rect shownRect() const { return shown_; }
    // The margin the window reaches beyond the shown board on each side.
    int focusMargin() const { return margin_; }
    void showSurface(Rect board, const Surface& surface);  // Platform::invalidateBoard
    void setTiles(const BoardTiles& tiles);                // Platform::setBoardTiles
    void setMarks(const BoardMarks& marks);
    void setNote(std::string_view utf8);
    void setDescription(std::string_view utf8);  // the accessible name/value
    // Platform::confineCursor: the logic's screen rectangle, clipped to where that
    // part of the board is shown.
    void confine(Rect logicScreen);
    void release();
    // What the next WM_PAINT shows, as 0x00RRGGBB pixels of the shown rectangle.
    Surface render() const;
    // The drop target registered for the window (tests); nullptr without OLE.
    IDropTarget* dropTarget() const;

  private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc) const;
    // A point of this window in the dialog logic's client coordinates.
    Point toLogic(int x, int y) const;
    Rect windowRectInDialog() const;
    friend class DropTarget;
    bool onShownBoard(POINT screen) const;
    void dropText(std::string_view utf8);

    HWND dialog_;
    DialogHandler& handler_;
    HWND hwnd_ = nullptr;
    Rect logic_{0, 0, 256, 256};
    Rect shown_{0, 0, 256, 256};
    bool placed_ = false;
    int margin_ = 4;
    Surface surface_;
    BoardTiles tiles_;
    bool haveTiles_ = false;
    BoardMarks marks_;
    std::wstring note_;
    bool painting_ = false;
    bool confined_ = false;
    DropTarget* dropTarget_ = nullptr;  // one reference held while registered
    struct ArtworkCache;
    std::unique_ptr<ArtworkCache> artwork_;
};

// The part of the shown board that the logic's rectangle logic covers (both in
// client coordinates): every point of the result maps into logic through
// boardPointToLogic.
Rect logicRectToShown(Rect board, Rect shown, Rect logic);

// Bitmap 104 into tiles (Platform::loadTileArtwork); false when missing.
bool loadTileArtwork(Surface& tiles);

}  // namespace fifteen::ui::win32
