#pragma once

// The platform layer: exactly what the dialog logic needs of a window system, and
// nothing more. The dialog logic (modes, commands, board handler, playback,
// start-up) is written against these two interfaces only; one implementation sits
// over Qt 6 Widgets, another is a headless recording host for tests.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fifteen::ui {

struct Point {
    int x;
    int y;
};

// Half-open on neither side: right and bottom are the first pixels outside, as in
// the window system the dialog was designed for.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// 0x00RRGGBB
using Color = uint32_t;

// A memory drawing surface of 32-bit pixels, row-major. The board and the tile
// artwork live in two of these; the Qt layer paints the board from it.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;

    void resize(int w, int h) {
        width = w;
        height = h;
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    }
    Color at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// Copies a w x h block from (sx, sy) of src to (dx, dy) of dst, clipped to both.
void copyBlock(Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int w, int h);
// Fills rect of dst (clipped) with one colour.
void fillRect(Surface& dst, Rect rect, Color color);

// One tile image drawn into the board surface: the artwork of tile, its top-left
// corner at (x, y) in board pixels.
struct TileSprite {
    int32_t tile;
    int x;
    int y;
};

// The tiles the board surface was composed from, in drawing order: the sixteen
// cells, then a tile in motion.
struct BoardTiles {
    std::array<TileSprite, 17> sprites{};
    int count = 0;
};

// What a mark over a movable tile says: its move keeps the solution optimal, or
// costs two moves.
enum class TileMark : uint8_t { none, optimal, costly };

// Marks over the board's cells, in reading order; all none: no marks. The window
// system draws them over the tiles at its own resolution.
struct BoardMarks {
    std::array<TileMark, 16> cells{};
    bool any() const {
        for (const TileMark m : cells) {
            if (m != TileMark::none) return true;
        }
        return false;
    }
    bool operator==(const BoardMarks&) const = default;
};

struct ReviewPlot;  // ui/review_plot.h

enum class MouseEvent { move, leftDown, leftUp };

// The keys the dialog logic acts on. The window system maps its own: the arrow
// keys, Home, End, + and - (also on the keypad), Escape, Ctrl+C, Ctrl+V, F1,
// the Menu key or Shift+F10, H for the optimal moves' marks, T for the stronger
// tables, Ctrl+Z to undo and Ctrl+Y or Ctrl+Shift+Z to redo. Arrow keys, Home, End, + and - belong
// to the board whichever button has keyboard focus; only the output box keeps them for its text
// cursor, and Ctrl+C there copies its selection instead.
enum class Key {
    left,
    right,
    up,
    down,
    home,
    end,
    faster,
    slower,
    escape,
    copy,
    paste,
    menu,
    optimalMoves,
    help,
    strongerTables,
    undo,
    redo,
};

// One entry of the board's context menu: an action of the dialog logic, its text,
// the shortcut shown beside it, whether it applies now, and for a toggle whether
// it is on.
struct MenuItem {
    int action;
    std::string text;
    std::string shortcut;
    bool enabled;
    bool checkable = false;
    bool checked = false;
    bool separatorBefore = false;  // the first entry of a group
};

// A one-line text input: its title, the label above the line (it may run to more
// than one line), the text it starts with, and [selectBegin, selectEnd) of that
// text selected (byte offsets; equal: the cursor at the end).
struct TextRequest {
    std::string title;
    std::string label;
    std::string initial;
    int selectBegin = 0;
    int selectEnd = 0;
};

// Keyboard focus: a control identifier, or the board.
inline constexpr int focusBoard = 0;

// What the window system delivers to the dialog. Every call arrives on the GUI
// thread.
class DialogHandler {
  public:
    virtual ~DialogHandler() = default;
    virtual void onInit() = 0;
    virtual void onCommand(int controlId) = 0;
    virtual void onTimer(int timerId) = 0;
    // Custom messages 0x7FFE, 0x7FFF, 0x8000, 0x8001.
    virtual void onMessage(int message) = 0;
    virtual void onMouse(MouseEvent event, Point client) = 0;
    virtual void onPaint() = 0;
    // The user asked to close the window; the handler ends the dialog with endDialog.
    virtual void onClose() = 0;
    // A key meant for the board; autoRepeat when it is held down. True when the
    // handler used it.
    virtual bool onKey(Key key, bool autoRepeat) {
        (void)key;
        (void)autoRepeat;
        return false;
    }
    // Text dropped on the board.
    virtual void onDropText(std::string_view text) { (void)text; }
    // A right click at client (inside the board), or the Menu key (client is then
    // the board's centre).
    virtual void onContextMenu(Point client) { (void)client; }
};

// What the dialog asks of the window system. Every call is made on the GUI thread
// except post, sendMessage and beginClose: other threads hand their results over
// with those two, never by touching a control.
class Platform {
  public:
    virtual ~Platform() = default;

    virtual void setCaption(std::string_view text) = 0;
    virtual void setControlText(int controlId, std::string_view text) = 0;
    virtual void enableControl(int controlId, bool enabled) = 0;
    virtual void setCheck(int controlId, bool checked) = 0;
    // A report that no longer belongs to the board: [0, end) of the output box's
    // text (offsets as markOutput's) drawn dimmed, with note in one line above it;
    // what follows stays as it is. An empty note takes the mark away.
    virtual void setOutputStale(std::string_view note, int end) = 0;
    // Marks [begin, end) of the output box's text (byte offsets into the text last
    // set, "\r\n" counting two) as the current place and scrolls it into view;
    // begin == end takes the mark away. The selection stays as it is. After a new
    // text the dialog logic sets the mark again (an implementation may drop it with
    // the old text).
    virtual void markOutput(int begin, int end) = 0;
    // What assistive tools read out for the board: the position as text.
    virtual void setBoardDescription(std::string_view text) = 0;
    // A small window beside the dialog showing text (plain, monospace, read-only)
    // under title; shown again, and its text replaced, when one of that title is
    // open. It does not block the dialog.
    virtual void showTextWindow(std::string_view title, std::string_view text) = 0;
    // The output box font: a monospace system font.
    virtual void setMonospaceFont(int controlId) = 0;

    // One window timer per identifier; setting an existing one restarts it with the
    // new period.
    virtual void setTimer(int timerId, int periodMs) = 0;
    virtual void killTimer(int timerId) = 0;

    // From any thread other than the GUI thread: deliver message to the dialog's
    // onMessage and wait until it has been handled. Returns false, without waiting,
    // once beginClose has been called, so a worker never blocks a GUI thread that is
    // waiting to join it.
    virtual bool sendMessage(int message) = 0;
    // From any thread, without waiting: run call on the GUI thread later, after the
    // posts and messages handed over before it (also from the GUI thread itself:
    // never at once). Dropped, never run, once beginClose has been called, whether
    // or not it was still waiting.
    virtual void post(std::function<void()> call) = 0;
    // Closing has begun (GUI thread): from now on calls from other threads return at
    // once without touching any widget, sendMessage returns false and posts are
    // dropped.
    virtual void beginClose() = 0;

    // Geometry, in screen coordinates for the window and the controls.
    virtual Rect windowRect() const = 0;
    virtual Rect clientRect() const = 0;  // client coordinates: left = top = 0
    virtual Rect controlRect(int controlId) const = 0;
    virtual Point clientToScreen(Point client) const = 0;

    // Keep the pointer inside the screen rectangle until released.
    virtual void confineCursor(Rect screen) = 0;
    virtual void releaseCursor() = 0;

    // The 256x256 tile artwork (16 images of 64x64; tile t at column t % 4, row
    // t / 4), loaded into the surface.
    virtual bool loadTileArtwork(Surface& tiles) = 0;
    virtual Color buttonFaceColor() const = 0;
    // Show the board surface in the board rectangle (client coordinates) at the next
    // paint, without erasing the background.
    virtual void invalidateBoard(Rect board, const Surface& surface) = 0;
    // The tiles the board surface was last composed from. A screen with more device
    // pixels than the board has pixels draws them from artwork of its resolution
    // instead of scaling the surface up; what else the surface shows still shows.
    virtual void setBoardTiles(const BoardTiles& tiles) = 0;

    // The system clipboard's text (empty when it holds none).
    virtual void setClipboardText(std::string_view text) = 0;
    virtual std::string clipboardText() const = 0;
    // Shows the menu at client and waits until the user chose an entry or closed it;
    // returns the chosen action, or -1.
    virtual int popupMenu(const std::vector<MenuItem>& items, Point client) = 0;
    // Keyboard focus: a control or focusBoard; -1 when neither has it.
    virtual void setFocus(int controlId) = 0;
    virtual int focusedControl() const = 0;

    // Marks over the board's cells, drawn over the tiles until replaced.
    virtual void setBoardMarks(const BoardMarks& marks) { (void)marks; }
    // A line of text shown over the board (a finished play's), until replaced;
    // empty: none.
    virtual void setBoardNote(std::string_view text) { (void)text; }
    // Shows plot in the output box's place until called again; nullptr gives the
    // box back. The plot is copied.
    virtual void showReviewPlot(const ReviewPlot* plot) { (void)plot; }
    // A small modal input of one line of text; nullopt when the user called it off.
    virtual std::optional<std::string> askText(const TextRequest& request) {
        (void)request;
        return std::nullopt;
    }

    // End the dialog; the program then exits.
    virtual void endDialog(int result) = 0;
};

}  // namespace fifteen::ui
