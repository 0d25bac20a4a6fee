// Draws the tile artwork and the program icon into the given folder:
//   fifteen_make_artwork ui/resources
// tiles.png: 256x256, the image of tile t at column t % 4, row t / 4 (64x64 each),
// bevelled lavender squares with black numbers; cell 0 is the blank.
// tiles@1.5x.png, tiles@2x.png, tiles@3x.png: the same tiles drawn for screens
// with 1.5, 2 and 3 device pixels per pixel, so they need no scaling there.
// fifteen.png: 64x64 icon, a small board with its blank in the goal corner.
// icons/fifteen-N.png: the same icon at N x N for the desktop's hicolor theme
// (16, 24, 32, 48, 64, 128 and 256 pixels), each drawn at its size rather than
// scaled, so the small ones keep whole-pixel edges.
//
//   fifteen_make_artwork --windows DIR
// writes what the Windows program's resources take instead: the four tile images
// as 24-bit BMP files (tiles.bmp, tiles@1.5x.bmp, tiles@2x.bmp, tiles@3x.bmp) and
// the icon's seven sizes in one fifteen.ico.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPolygon>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace {

const QColor face(0xC4, 0xBA, 0xEC);
const QColor light(0xEC, 0xE8, 0xFF);
const QColor shadow(0x6E, 0x60, 0xA8);
const QColor blank(0xF0, 0xF0, 0xF0);

// A raised square: light on the top and left edges, shadow on the bottom and right.
void drawBevel(QPainter& p, QRect r, int bevel) {
    p.fillRect(r, face);
    const int l = r.left(), t = r.top(), rt = r.right() + 1, b = r.bottom() + 1;
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawPolygon(QPolygon({{l, t},
                            {rt, t},
                            {rt - bevel, t + bevel},
                            {l + bevel, t + bevel},
                            {l + bevel, b - bevel},
                            {l, b}}));
    p.setBrush(shadow);
    p.drawPolygon(QPolygon({{rt, b},
                            {l, b},
                            {l + bevel, b - bevel},
                            {rt - bevel, b - bevel},
                            {rt - bevel, t + bevel},
                            {rt, t}}));
}

// The tiles at scale times their 64-pixel size. Every length is scaled and rounded
// to whole pixels before drawing, so the edges stay crisp at any scale.
QImage drawTiles(double scale) {
    const auto scaled = [scale](int pixels) {
        return static_cast<int>(std::lround(pixels * scale));
    };
    const int side = scaled(64);
    QImage image(4 * side, 4 * side, QImage::Format_RGB32);
    image.fill(blank);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(scaled(30));
    font.setBold(true);
    p.setFont(font);
    const int inset = scaled(1);
    for (int tile = 1; tile < 16; ++tile) {
        const QRect cell(side * (tile % 4), side * (tile / 4), side, side);
        drawBevel(p, cell.adjusted(inset, inset, -inset, -inset), scaled(5));
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setPen(Qt::black);
        p.drawText(cell, Qt::AlignCenter, QString::number(tile));
    }
    return image;
}

// The 64-pixel design is a 2-pixel frame around cells of 15 with a 2-pixel bevel.
// Other sizes scale the frame and bevel and fit the cells in whole pixels; the
// pixels left over widen the frame evenly. At 64 this is the original drawing.
QImage drawIcon(int size) {
    const double scale = size / 64.0;
    const int frame = std::max(1, static_cast<int>(std::lround(2 * scale)));
    const int cellSide = (size - 2 * frame) / 4;
    const int offset = (size - 4 * cellSide) / 2;
    const int bevel = std::max(1, static_cast<int>(std::lround(2 * scale)));
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(QRect(0, 0, size, size), shadow);
    for (int cell = 0; cell < 15; ++cell) {
        drawBevel(p,
                  QRect(offset + cellSide * (cell % 4), offset + cellSide * (cell / 4), cellSide,
                        cellSide),
                  bevel);
    }
    return image;
}

constexpr int iconSizes[] = {16, 24, 32, 48, 64, 128, 256};

bool saveIcons(const QDir& out) {
    if (!out.mkpath(QStringLiteral("icons"))) return false;
    for (const int size : iconSizes) {
        const QString name = QStringLiteral("icons/fifteen-%1.png").arg(size);
        if (!drawIcon(size).save(out.filePath(name))) return false;
    }
    return true;
}

// Qt's ICO writer stores one image per file: each size is written alone, then
// their directory entries (16 bytes each after a 6-byte header) are joined into
// one file, each pointing at its image data in the new layout.
bool saveIconFile(const QString& path) {
    constexpr int headerSize = 6;
    constexpr int entrySize = 16;
    constexpr int count = static_cast<int>(std::size(iconSizes));
    QByteArray entries;
    QByteArray images;
    for (const int size : iconSizes) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "ico");
        if (!writer.write(drawIcon(size))) return false;
        const QByteArray single = buffer.data();
        if (single.size() < headerSize + entrySize ||
            qFromLittleEndian<quint16>(single.constData() + 4) != 1) {
            return false;
        }
        const auto start = qFromLittleEndian<quint32>(single.constData() + headerSize + 12);
        if (start > static_cast<quint32>(single.size())) return false;
        QByteArray entry = single.mid(headerSize, entrySize);
        qToLittleEndian<quint32>(
            static_cast<quint32>(headerSize + entrySize * count + images.size()),
            entry.data() + 12);
        entries += entry;
        images += single.mid(static_cast<qsizetype>(start));
    }
    QByteArray header(headerSize, '\0');
    qToLittleEndian<quint16>(1, header.data() + 2);  // an icon, not a cursor
    qToLittleEndian<quint16>(static_cast<quint16>(count), header.data() + 4);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header + entries + images) >= 0 &&
           file.flush();
}

// The tiles as BMP files: RGB32 images are written with 24 bits per pixel.
bool saveWindowsArtwork(const QDir& out) {
    return drawTiles(1).save(out.filePath(QStringLiteral("tiles.bmp")), "BMP") &&
           drawTiles(1.5).save(out.filePath(QStringLiteral("tiles@1.5x.bmp")), "BMP") &&
           drawTiles(2).save(out.filePath(QStringLiteral("tiles@2x.bmp")), "BMP") &&
           drawTiles(3).save(out.filePath(QStringLiteral("tiles@3x.bmp")), "BMP") &&
           saveIconFile(out.filePath(QStringLiteral("fifteen.ico")));
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const bool windows = argc > 1 && QByteArray(argv[1]) == "--windows";
    const int folderArg = windows ? 2 : 1;
    const QDir out(argc > folderArg ? QString::fromLocal8Bit(argv[folderArg])
                                    : QStringLiteral("."));
    if (windows) {
        if (!out.mkpath(QStringLiteral(".")) || !saveWindowsArtwork(out)) {
            std::fprintf(stderr, "cannot write the Windows artwork into %s\n",
                         qPrintable(out.path()));
            return 1;
        }
        return 0;
    }
    const bool saved = drawTiles(1).save(out.filePath(QStringLiteral("tiles.png"))) &&
                       drawTiles(1.5).save(out.filePath(QStringLiteral("tiles@1.5x.png"))) &&
                       drawTiles(2).save(out.filePath(QStringLiteral("tiles@2x.png"))) &&
                       drawTiles(3).save(out.filePath(QStringLiteral("tiles@3x.png"))) &&
                       drawIcon(64).save(out.filePath(QStringLiteral("fifteen.png"))) &&
                       saveIcons(out);
    if (!saved) {
        std::fprintf(stderr, "cannot write the artwork into %s\n", qPrintable(out.path()));
        return 1;
    }
    return 0;
}
