#include "ui/qt/board_widget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QTransform>

#include <algorithm>
#include <cmath>

#include "ui/board_view.h"
#include "ui/dialog_layout.h"

namespace fifteen::ui {

namespace {

// Tile artwork drawn for 1, 1.5, 2 and 3 device pixels per pixel, in that order.
constexpr const char* tileArtwork[] = {":/tiles.png", ":/tiles@1.5x.png", ":/tiles@2x.png",
                                       ":/tiles@3x.png"};

}  // namespace

BoardWidget::BoardWidget(DialogHandler& handler, QWidget* dialog)
    : QWidget(dialog), handler_(handler) {
    setGeometry(dialog->rect());
    setMouseTracking(true);
    // A click here focuses the dialog, which holds the board's focus.
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
    QObject::connect(qApp, &QApplication::focusChanged, this, [this] { update(); });
}

bool BoardWidget::loadArtwork(Surface& tiles) {
    const QImage image =
        QImage(QString::fromLatin1(tileArtwork[0])).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return false;
    tiles.resize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            tiles.pixels[static_cast<size_t>(y * image.width() + x)] = line[x] & 0xFFFFFFu;
        }
    }
    return true;
}

void BoardWidget::showSurface(Rect board, const Surface& surface) {
    const QRect before = shownRect();
    if (image_.width() != surface.width || image_.height() != surface.height) {
        image_ = QImage(surface.width, surface.height, QImage::Format_RGB32);
    }
    for (int y = 0; y < surface.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = 0; x < surface.width; ++x) line[x] = 0xFF000000u | surface.at(x, y);
    }
    board_ = board;
    // Asked from inside a paint, the image is painted right after; asking again
    // would paint for ever.
    if (!painting_) update(before.united(shownRect()));
}

bool BoardWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !onBoard(static_cast<QHelpEvent*>(event)->pos())) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void BoardWidget::setGrowth(int grow, int down) {
    grow_ = grow;
    down_ = down;
    update();
}

QRect BoardWidget::shownRect() const {
    const Rect shown = shownBoard(board_, grow_, down_);
    return QRect(shown.left, shown.top, shown.width(), shown.height());
}

Point BoardWidget::toLogic(QPoint p) const {
    return boardPointToLogic(board_, shownBoard(board_, grow_, down_), Point{p.x(), p.y()});
}

void BoardWidget::setTiles(const BoardTiles& tiles) {
    tiles_ = tiles;
    haveTiles_ = true;
}

void BoardWidget::setMarks(const BoardMarks& marks) {
    if (marks == marks_) return;
    marks_ = marks;
    update(shownRect());
}

void BoardWidget::paintEvent(QPaintEvent*) {
    painting_ = true;
    handler_.onPaint();
    painting_ = false;
    if (image_.isNull()) return;
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    const QRect shown = shownRect();
    const bool grown = shown.width() != image_.width();
    // Above one device pixel per pixel, or grown, the surface would be scaled up
    // and blur: the tiles are drawn again from artwork of the shown resolution.
    if ((ratio > 1.0 || grown) && haveTiles_ && image_.width() == boardPixels &&
        image_.height() == boardPixels) {
        paintSharpBoard(painter, ratio, shown);
    } else if (grown) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(shown, image_);
    } else {
        painter.drawImage(QPoint(board_.left, board_.top), image_);
    }
    paintMoveMarks(painter, ratio, shown);
    paintNote(painter, shown);
    paintFocusMarks(painter);
}

void BoardWidget::setNote(const QString& note) {
    if (note == note_) return;
    note_ = note;
    update(shownRect());
}

void BoardWidget::paintNote(QPainter& painter, QRect shown) {
    if (note_.isEmpty()) return;
    QFont font = window()->font();
    font.setBold(true);
    font.setPixelSize(std::max(10, shown.width() / 14));
    const QFontMetrics metrics(font);
    const int height = metrics.height() * 2;
    const QRect band(shown.left(), shown.center().y() - height / 2, shown.width(), height);
    painter.save();
    painter.fillRect(band, QColor(0, 0, 0, 170));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter,
                     metrics.elidedText(note_, Qt::ElideRight, band.width()));
    painter.restore();
}

void BoardWidget::paintMoveMarks(QPainter& painter, double ratio, QRect shown) {
    if (!marks_.any()) return;
    // In device pixels, every edge on a whole pixel, so the marks stay sharp at
    // any ratio and board size instead of being scaled from one size.
    const double scale = ratio * shown.width() / double(boardPixels);
    const auto device = [scale](double pixels) {
        return static_cast<int>(std::lround(pixels * scale));
    };
    const int cell = device(cellPixels);
    const int left = static_cast<int>(std::lround(shown.left() * ratio));
    const int top = static_cast<int>(std::lround(shown.top() * ratio));
    const int frame = std::max(2, device(3));
    const QColor optimal(0x1E, 0xA0, 0x32);
    const QColor costly(0xC8, 0x3C, 0x28);
    QFont font = window()->font();
    font.setBold(true);
    font.setPixelSize(std::max(8, device(12)));
    painter.save();
    painter.setTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    painter.setFont(font);
    const int badgeWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("+2")) + 2 * frame;
    const int badgeHeight = QFontMetrics(font).height() + frame / 2;
    for (int i = 0; i < 16; ++i) {
        const TileMark mark = marks_.cells[static_cast<size_t>(i)];
        if (mark == TileMark::none) continue;
        const QRect r(left + cell * (i % 4), top + cell * (i / 4), cell, cell);
        if (mark == TileMark::optimal) {
            // A frame round the tile and a corner in the top left.
            painter.fillRect(r.left(), r.top(), r.width(), frame, optimal);
            painter.fillRect(r.left(), r.bottom() + 1 - frame, r.width(), frame, optimal);
            painter.fillRect(r.left(), r.top(), frame, r.height(), optimal);
            painter.fillRect(r.right() + 1 - frame, r.top(), frame, r.height(), optimal);
            const int corner = cell / 4;
            for (int row = 0; row < corner; ++row) {
                painter.fillRect(r.left(), r.top() + row, corner - row, 1, optimal);
            }
        } else {
            const QRect badge(r.right() + 1 - frame - badgeWidth, r.top() + frame, badgeWidth,
                              badgeHeight);
            painter.fillRect(badge, costly);
            painter.setPen(Qt::white);
            painter.drawText(badge, Qt::AlignCenter, QStringLiteral("+2"));
        }
    }
    painter.restore();
}

const QImage& BoardWidget::tileArtworkFor(int side) {
    if (deviceTiles_.width() == 4 * side) return deviceTiles_;
    QImage art;
    for (const char* name : tileArtwork) {
        art = QImage(QString::fromLatin1(name));
        if (art.width() >= 4 * side) break;
    }
    if (art.width() != 4 * side) {
        art = art.scaled(4 * side, 4 * side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    deviceTiles_ = art.convertToFormat(QImage::Format_RGB32);
    // Qt reads a ratio from an "@2x" name; these pixels are drawn one to one.
    deviceTiles_.setDevicePixelRatio(1);
    tiles1x_ = QImage(QString::fromLatin1(tileArtwork[0])).convertToFormat(QImage::Format_RGB32);
    if (tiles1x_.isNull()) deviceTiles_ = QImage();
    if (deviceTiles_.isNull()) return deviceTiles_;
    // The blank, as the dialog logic makes it in its own artwork.
    const QColor blank =
        QColor::fromRgb(window()->palette().color(QPalette::Button).rgb() & 0xFFFFFFu);
    QPainter(&deviceTiles_).fillRect(0, 0, side, side, blank);
    QPainter(&tiles1x_).fillRect(0, 0, cellPixels, cellPixels, blank);
    return deviceTiles_;
}

void BoardWidget::paintSharpBoard(QPainter& painter, double ratio, QRect shown) {
    const int side =
        static_cast<int>(std::lround(cellPixels * ratio * shown.width() / double(boardPixels)));
    const QImage& art = tileArtworkFor(side);
    if (art.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(shown, image_);
        return;
    }
    const auto device = [side](int pixels) {
        return static_cast<int>(std::lround(pixels * side / double(cellPixels)));
    };
    QImage board(4 * side, 4 * side, QImage::Format_RGB32);
    board.fill(0);
    QPainter p(&board);
    // The same tiles at one pixel per pixel, to find what else the surface shows.
    QImage composed(boardPixels, boardPixels, QImage::Format_RGB32);
    composed.fill(0);
    QPainter c(&composed);
    for (int i = 0; i < tiles_.count; ++i) {
        const TileSprite& s = tiles_.sprites[static_cast<size_t>(i)];
        p.drawImage(QPoint(device(s.x), device(s.y)), art,
                    QRect(side * (s.tile % 4), side * (s.tile / 4), side, side));
        c.drawImage(
            QPoint(s.x, s.y), tiles1x_,
            QRect(cellPixels * (s.tile % 4), cellPixels * (s.tile / 4), cellPixels, cellPixels));
    }
    c.end();
    QImage extra(boardPixels, boardPixels, QImage::Format_ARGB32);
    extra.fill(Qt::transparent);
    bool anyExtra = false;
    for (int y = 0; y < boardPixels; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        const auto* tiles = reinterpret_cast<const QRgb*>(composed.constScanLine(y));
        for (int x = 0; x < boardPixels; ++x) {
            if (((line[x] ^ tiles[x]) & 0xFFFFFFu) != 0) {
                extra.setPixel(x, y, line[x] | 0xFF000000u);
                anyExtra = true;
            }
        }
    }
    if (anyExtra) p.drawImage(QRect(0, 0, 4 * side, 4 * side), extra);
    p.end();
    // Cancel the device scaling, so the image lands on whole device pixels unscaled;
    // what is painted after it is in pixels again.
    painter.save();
    painter.setTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    painter.drawImage(QPoint(static_cast<int>(std::lround(shown.left() * ratio)),
                             static_cast<int>(std::lround(shown.top() * ratio))),
                      board);
    painter.restore();
}

void BoardWidget::paintFocusMarks(QPainter& painter) {
    QRect mark;
    const QWidget* focus = QApplication::focusWidget();
    if (focus && focus == parentWidget()) {
        mark = shownRect();
    } else if (focus && focus == outputBox_) {
        mark = focus->geometry();
    } else {
        return;
    }
    QPen pen(window()->palette().color(QPalette::WindowText));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(mark.adjusted(-3, -3, 2, 2));
}

bool BoardWidget::onBoard(QPoint p) const {
    return shownRect().contains(p);
}

void BoardWidget::mouseMoveEvent(QMouseEvent* event) {
    deliver(MouseEvent::move, *event);
}
void BoardWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) deliver(MouseEvent::leftDown, *event);
}
void BoardWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) deliver(MouseEvent::leftUp, *event);
}

void BoardWidget::deliver(MouseEvent kind, const QMouseEvent& event) {
    handler_.onMouse(kind, confinedPoint(toLogic(event.position().toPoint())));
}

Point BoardWidget::confinedPoint(Point client) const {
    if (!clip_ || clip_->width() <= 0 || clip_->height() <= 0) return client;
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const QPoint global = origin + QPoint(client.x, client.y);
    const QPoint inside(std::clamp(global.x(), clip_->left, clip_->right - 1),
                        std::clamp(global.y(), clip_->top, clip_->bottom - 1));
    if (inside != global) QCursor::setPos(screen(), inside);
    return {inside.x() - origin.x(), inside.y() - origin.y()};
}

// A right click on the board; the Menu key goes on to the dialog.
void BoardWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) {
        event->ignore();
        return;
    }
    if (onBoard(event->pos())) handler_.onContextMenu(toLogic(event->pos()));
}

void BoardWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText()) event->acceptProposedAction();
}

void BoardWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (onBoard(event->position().toPoint()) && event->mimeData()->hasText()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void BoardWidget::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    handler_.onDropText(event->mimeData()->text().toStdString());
}

}  // namespace fifteen::ui
