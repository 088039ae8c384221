#include "core/map/textcache.h"

#include "core/map/render.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace korvalo {

namespace {

// Sizes come from files and input boxes and may be anything an int holds; labels are
// drawn at most 4096 pixels high.
constexpr int maxTextSize = 4096;

// A text as the glyph rasteriser drew it, cut to its ink. Rotated text is the expensive
// part of a redraw: FreeType keeps only a few rotations, so the fifty sector labels are
// rasterised anew every time, and the thousand node labels are shaped anew. A text drawn
// at a whole-pixel origin lands on the same pixels wherever it is put, so drawing it once
// into a small image and copying that gives exactly what drawing it directly would.
struct TextRaster
{
    QImage image; // premultiplied ARGB; alpha 0 or 255 since the font is not antialiased
    QPoint offset; // of the image's top-left from the text's top-left corner
};

struct TextKey
{
    QString text;
    int size;
    int rotation;
    QRgb color;
    // 0 for the exact text; else smooth text at this many 64ths of a device pixel per pixel.
    int smoothScale = 0;
    bool operator==(const TextKey &) const = default;
};

size_t qHash(const TextKey &key, size_t seed)
{
    return qHashMulti(seed, key.text, key.size, key.rotation, key.color, key.smoothScale);
}

// Fonts and text rasters of this thread, kept between redraws.
struct TextCaches
{
    QHash<int, MapFont> fonts;
    QHash<int, MapFont> smoothFonts;
    QHash<TextKey, TextRaster> texts;
    qsizetype textBytes = 0;
};

TextCaches &textCaches()
{
    thread_local TextCaches caches;
    // Fonts must not outlive the application object; the main thread's caches go with it.
    static const bool cleanupRegistered = [] {
        qAddPostRoutine([] { textCaches() = TextCaches(); });
        return true;
    }();
    Q_UNUSED(cleanupRegistered);
    return caches;
}

// Texts above this em height are not kept; a label blown up to fill the map is rare and
// its raster would be megabytes.
constexpr int maxCachedTextSize = 200;

// Em height in pixels for a requested text size; 0 means nothing is drawn.
int textPixelSize(int size)
{
    return size < 0 ? (size < -maxTextSize ? maxTextSize : -size) : std::min(size, maxTextSize);
}

// A raster this large (a very long label turned on its side) is drawn directly instead.
constexpr qint64 maxRasterPixels = 4'000'000;

// Null image and `direct` set when the text is better drawn straight onto the map. `scale`
// is device pixels per pixel of the map.
TextRaster rasteriseText(const QString &text, const MapFont &font, int rotation, const QColor &color,
                         bool *direct, qreal scale = 1)
{
    QTransform turn;
    turn.scale(scale, scale);
    turn.rotate(-rotation);
    const QFontMetrics metrics(font.font);
    // Generous room for overhanging glyphs, then the ink is cut out below.
    const int margin = metrics.height();
    const QRect box(-margin, -margin, metrics.horizontalAdvance(text) + 2 * margin,
                    metrics.height() + 2 * margin);
    const QRect bounds = turn.mapRect(box).adjusted(-2, -2, 2, 2);
    *direct = qint64(bounds.width()) * bounds.height() > maxRasterPixels;
    if (*direct)
        return {};

    QImage canvas(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        const bool smooth = font.font.styleStrategy() & QFont::PreferAntialias;
        painter.setRenderHint(QPainter::TextAntialiasing, smooth);
        painter.setPen(color);
        painter.setFont(font.font);
        painter.translate(-bounds.left(), -bounds.top());
        if (smooth)
            painter.scale(scale, scale);
        painter.rotate(-rotation);
        painter.drawText(0, font.ascent, text);
    }
    int left = canvas.width(), right = -1, top = canvas.height(), bottom = -1;
    for (int y = 0; y < canvas.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    const QRect ink(QPoint(left, top), QPoint(right, bottom));
    return {canvas.copy(ink), bounds.topLeft() + ink.topLeft()};
}

// The raster of a text, or null when it is to be drawn directly. A smooth text is drawn
// antialiased at `smoothScale` 64ths of a device pixel per pixel.
const TextRaster *cachedText(const QString &text, int size, int rotation, const QColor &color, int smoothScale = 0)
{
    // A full card's labels take a few megabytes; beyond the limit the cache starts afresh.
    constexpr qsizetype maxBytes = 32 * 1024 * 1024;
    TextCaches &caches = textCaches();
    TextKey key{text, size, rotation, color.rgba(), smoothScale};
    auto it = caches.texts.constFind(key);
    if (it != caches.texts.constEnd())
        return &*it;
    bool direct = false;
    TextRaster raster = smoothScale == 0
        ? rasteriseText(text, MapFontOfSize(size), rotation, color, &direct)
        : rasteriseText(text, SmoothMapFontOfSize(size), rotation, color, &direct, smoothScale / 64.0);
    if (direct)
        return nullptr;
    if (caches.textBytes > maxBytes) {
        caches.texts.clear();
        caches.textBytes = 0;
    }
    caches.textBytes += raster.image.sizeInBytes() + text.size() * 2 + 64;
    return &*caches.texts.insert(key, std::move(raster));
}

} // namespace

// Creating a QFont and resolving "Arial" costs far more than drawing a short label, and
// a capacity card draws a thousand of them per redraw; so the fonts are kept per size.
// Rotation is done by the painter's transform, not by the font.
const MapFont &MapFontOfSize(int size)
{
    QHash<int, MapFont> &fonts = textCaches().fonts;
    auto it = fonts.constFind(size);
    if (it != fonts.constEnd())
        return *it;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(size);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // The mouse reads pixel colours; grey fringes around glyphs would be neither text nor
    // anything else the map knows.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferDefaultHinting);
    MapFont entry{font, QFontMetrics(font).ascent()};
    return *fonts.insert(size, entry);
}

const MapFont &SmoothMapFontOfSize(int size)
{
    QHash<int, MapFont> &fonts = textCaches().smoothFonts;
    auto it = fonts.constFind(size);
    if (it != fonts.constEnd())
        return *it;
    QFont font = MapFontOfSize(size).font;
    font.setStyleStrategy(QFont::PreferAntialias);
    // Unhinted outlines scale with the picture: a PDF page or a screen at twice the
    // resolution shows the same text, only finer.
    font.setHintingPreference(QFont::PreferNoHinting);
    MapFont entry{font, QFontMetrics(font).ascent()};
    return *fonts.insert(size, entry);
}

void DrawSmoothMapText(QPainter &painter, QPointF at, const QString &text, int size, int rotation)
{
    const int pixels = textPixelSize(size);
    if (text.isEmpty() || pixels == 0)
        return;
    rotation %= 360;
    const QTransform saved = painter.transform();
    // On a map image at a whole number of device pixels per pixel (or a simple fraction) a
    // text whose corner lands on a whole device pixel is copied from its raster, as the
    // exact text is: a thousand labels are not laid out anew for every redraw. Vector
    // devices always get the text itself.
    const qreal scale = saved.m11();
    const int smoothScale = qRound(scale * 64);
    if (painter.paintEngine()->type() == QPaintEngine::Raster && painter.deviceTransform() == saved
        && saved.type() <= QTransform::TxScale
        && saved.m22() == scale && smoothScale >= 1 && qFuzzyCompare(smoothScale / 64.0, scale)
        && pixels * scale <= maxCachedTextSize) {
        const QPointF device = saved.map(at);
        const QPoint whole(qRound(device.x()), qRound(device.y()));
        if (qAbs(device.x() - whole.x()) < 1e-3 && qAbs(device.y() - whole.y()) < 1e-3) {
            if (const TextRaster *raster = cachedText(text, pixels, rotation, painter.pen().color(), smoothScale)) {
                if (!raster->image.isNull()) {
                    painter.resetTransform();
                    painter.drawImage(whole + raster->offset, raster->image);
                    painter.setTransform(saved);
                }
                return;
            }
        }
    }
    const MapFont &font = SmoothMapFontOfSize(pixels);
    painter.setFont(font.font);
    painter.translate(at);
    if (rotation != 0)
        painter.rotate(-rotation);
    painter.drawText(QPointF(0, font.ascent), text);
    painter.setTransform(saved);
}

void DrawMapText(QPainter &painter, int x, int y, const QString &text, int size, int rotation)
{
    const int pixels = textPixelSize(size);
    if (text.isEmpty() || pixels == 0)
        return;
    rotation %= 360;
    // A scaled or turned painter (a preview) draws directly, as the rasters hold device
    // pixels; so does a text too big to be worth keeping.
    const bool plainPainter = painter.transform().type() <= QTransform::TxTranslate;
    const TextRaster *raster = plainPainter && pixels <= maxCachedTextSize
                                   ? cachedText(text, pixels, rotation, painter.pen().color())
                                   : nullptr;
    if (raster) {
        if (!raster->image.isNull())
            painter.drawImage(QPoint(x, y) + raster->offset, raster->image);
        return;
    }
    const MapFont &font = MapFontOfSize(pixels);
    const QTransform saved = painter.transform();
    painter.setFont(font.font);
    painter.translate(x, y);
    painter.rotate(-rotation);
    painter.drawText(0, font.ascent, text);
    painter.setTransform(saved);
}

} // namespace korvalo
