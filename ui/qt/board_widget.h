#pragma once

// The board as the dialog shows it: a widget over the dialog's whole client area,
// under the controls, so that it sees the pointer in client coordinates as the
// dialog logic expects. It paints the board surface where the logic put it (or,
// above one device pixel per pixel or in a larger window, the same tiles and
// dragged tile from artwork of the shown resolution), the focus marks, and takes
// the board's mouse, drop and context-menu events. The keyboard focus of the
// board is the dialog's.

#include <QImage>
#include <QWidget>

#include <optional>

#include "ui/platform.h"

namespace fifteen::ui {

class BoardWidget : public QWidget {
  public:
    // Covers dialog, which must have its final size.
    BoardWidget(DialogHandler& handler, QWidget* dialog);

    // The control around which the focus marks go when it has the focus.
    void setOutputBox(const QWidget* outputBox) { outputBox_ = outputBox; }
    // Platform::invalidateBoard and setBoardTiles.
    void showSurface(Rect board, const Surface& surface);
    void setTiles(const BoardTiles& tiles);
    // Platform::setBoardMarks and setBoardNote.
    void setMarks(const BoardMarks& marks);
    void setNote(const QString& note);
    const QString& note() const { return note_; }
    // The board image as the next paint will show it, and where.
    const QImage& image() const { return image_; }
    Rect boardRect() const { return board_; }
    // A larger window shows the board grow pixels larger on each side, its top
    // down pixels lower; the dialog logic still sees the board at its own size,
    // pointer positions scaled to it.
    void setGrowth(int grow, int down);
    // Where the board is shown, in client coordinates.
    QRect shownRect() const;
    // While confined, pointer positions are clamped to the square (screen
    // coordinates, right and bottom outside) and the cursor moved back inside.
    void confine(Rect screen) { clip_ = screen; }
    void release() { clip_.reset(); }

    // The one-to-one tile artwork, as Platform::loadTileArtwork loads it.
    static bool loadArtwork(Surface& tiles);

  protected:
    // The tooltip shows over the board only, not over the rest of the window.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    bool onBoard(QPoint p) const;
    void deliver(MouseEvent kind, const QMouseEvent& event);
    Point confinedPoint(Point client) const;
    // A point of this widget in the dialog logic's client coordinates.
    Point toLogic(QPoint p) const;
    // The board from its tiles at ratio device pixels per pixel, with whatever else
    // the surface shows scaled up over them.
    void paintSharpBoard(QPainter& painter, double ratio, QRect shown);
    // The optimal moves' marks over their cells, in device pixels.
    void paintMoveMarks(QPainter& painter, double ratio, QRect shown);
    // The note across the board's middle, on a band that keeps it readable.
    void paintNote(QPainter& painter, QRect shown);
    // Dotted marks around the board or the output box, whichever has the focus.
    void paintFocusMarks(QPainter& painter);
    // The tile artwork at side device pixels per tile, its blank filled as the
    // dialog logic fills its own; loads the one-to-one artwork too.
    const QImage& tileArtworkFor(int side);

    DialogHandler& handler_;
    const QWidget* outputBox_ = nullptr;
    QImage image_;
    Rect board_{};
    BoardTiles tiles_;
    bool haveTiles_ = false;
    BoardMarks marks_;
    QString note_;
    QImage deviceTiles_;
    QImage tiles1x_;
    std::optional<Rect> clip_;
    bool painting_ = false;
    int grow_ = 0;
    int down_ = 0;
};

}  // namespace fifteen::ui
