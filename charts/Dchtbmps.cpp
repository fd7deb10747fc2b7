#include "charts/Dchtbmps.h"

#include "charts/ChartColor.h"
#include "charts/PainterSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <map>
#include <memory>
#include <string>

namespace vrn {

namespace {

struct TIcon
{
    QImage Stored; // olive is the transparent key
    QImage Transparent;
};

struct TCache
{
    int Uses = 0;
    std::map<std::string, TIcon> Icons; // by upper-case name
};

std::unique_ptr<TCache> &Cache()
{
    static std::unique_ptr<TCache> cache;
    return cache;
}

std::string UpperAscii(std::string_view text)
{
    std::string s(text);
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

QImage WithTransparentKey(const QImage &image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQColor(kClOlive).rgb();
    for (int y = 0; y < out.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((row[x] | 0xFF000000u) == key)
                row[x] = 0;
    }
    return out;
}

// The built-in icons, drawn at 16 x 16 on the olive key colour.
QImage DrawBuiltIn(const std::string &name)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(ToQColor(kClOlive));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto c = [](TColor colour) { return ToQColor(colour); };
    p.setPen(c(kClBlack));
    if (name == "REDMARK" || name == "GREENMARK") {
        p.setBrush(c(name == "REDMARK" ? kClRed : MakeColor(0, 160, 0)));
        p.drawEllipse(3, 3, 9, 9);
    } else if (name == "WARNING") {
        p.setBrush(c(kClYellow));
        const QPoint tri[] = {{8, 1}, {15, 14}, {1, 14}};
        p.drawPolygon(tri, 3);
        p.drawLine(8, 5, 8, 10);
        p.drawPoint(8, 12);
    } else if (name == "INFO") {
        p.setBrush(c(kClNavy));
        p.drawEllipse(1, 1, 13, 13);
        p.setPen(c(kClWhite));
        p.drawLine(8, 6, 8, 11);
        p.drawPoint(8, 4);
    } else if (name == "EYE") {
        p.setBrush(c(kClWhite));
        p.drawEllipse(1, 4, 14, 8);
        p.setBrush(c(kClBlack));
        p.drawEllipse(6, 6, 4, 4);
    } else if (name == "CAMERA") {
        p.setBrush(c(MakeColor(64, 64, 64)));
        p.drawRect(1, 4, 14, 10);
        p.drawRect(5, 2, 5, 2);
        p.setBrush(c(kClWhite));
        p.drawEllipse(5, 6, 6, 6);
    } else if (name == "HAND") {
        p.setBrush(c(MakeColor(255, 220, 180)));
        p.drawRect(4, 7, 8, 8);
        for (int f = 0; f < 4; ++f)
            p.drawRect(4 + 2 * f, 2 + (f == 0 || f == 3 ? 2 : 0), 2, 5);
        p.drawRect(12, 8, 2, 4);
    } else if (name == "BOAT" || name == "TITANIC") {
        p.setBrush(c(name == "BOAT" ? kClRed : kClBlack));
        const QPoint hull[] = {{1, 9}, {15, 9}, {12, 14}, {4, 14}};
        p.drawPolygon(hull, 4);
        p.setBrush(c(kClWhite));
        p.drawRect(5, 5, 6, 4);
        if (name == "TITANIC") {
            p.setBrush(c(MakeColor(255, 160, 0)));
            p.drawRect(6, 2, 2, 3);
            p.drawRect(9, 2, 2, 3);
        }
    } else if (name == "SAILBOAT") {
        p.setBrush(c(kClWhite));
        const QPoint sail[] = {{8, 1}, {8, 11}, {2, 11}};
        p.drawPolygon(sail, 3);
        p.setBrush(c(kClNavy));
        const QPoint hull[] = {{1, 12}, {15, 12}, {12, 15}, {4, 15}};
        p.drawPolygon(hull, 4);
    } else if (name == "ROCK") {
        p.setPen(QPen(c(kClBlack), 2));
        p.drawLine(3, 8, 13, 8);
        p.drawLine(8, 3, 8, 13);
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
    } else if (name == "ANCOR") {
        p.setPen(QPen(c(kClBlack), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(6, 1, 4, 4);
        p.drawLine(8, 5, 8, 14);
        p.drawLine(4, 7, 12, 7);
        p.drawArc(2, 6, 12, 9, 180 * 16, 180 * 16);
    } else if (name == "HALF") {
        p.setBrush(c(kClWhite));
        p.drawEllipse(2, 2, 11, 11);
        p.setBrush(c(kClBlack));
        p.drawPie(2, 2, 11, 11, 90 * 16, 180 * 16);
    }
    return img;
}

// A label for a name without an icon: the name in lower case on colours picked by the sum of
// its character codes, inside a one-pixel red border on the top and left.
QImage DrawLabel(std::string_view name)
{
    static constexpr TColor kColours[8][2] = {{0xFFFFFF, 0x800000}, {0x00FFFF, 0x000000},
        {0xC0C0C0, 0xFF0000}, {0xFFFF00, 0x800000}, {0x000000, 0xFFFFFF}, {0x00FF00, 0x000000},
        {0xFF0000, 0xFFFFFF}, {0x800000, 0x00FFFF}};
    unsigned sum = 0;
    for (const char ch : name)
        sum += static_cast<unsigned char>(ch);
    const TColor bg = kColours[sum % 8][0];
    const TColor fg = kColours[sum % 8][1];
    const QString text =
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSize(8);
    const QFontMetrics fm(font);
    const int w = std::max(1, fm.horizontalAdvance(text) + 3);
    const int h = fm.height() + 1;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(ToQColor(kClRed));
    QPainter p(&img);
    p.fillRect(QRect(1, 1, w - 1, h - 1), ToQColor(bg));
    p.setFont(font);
    p.setPen(ToQColor(fg));
    p.drawText(2, 1 + fm.ascent(), text);
    return img;
}

void Register(TCache &cache, const std::string &key, QImage image)
{
    if (cache.Icons.count(key))
        return;
    TIcon icon {image, WithTransparentKey(image)};
    cache.Icons.emplace(key, std::move(icon));
}

} // namespace

void AcquireMarkerBitmaps()
{
    auto &cache = Cache();
    if (!cache) {
        cache = std::make_unique<TCache>();
        for (const char *name : kMarkerBitmapNames)
            Register(*cache, name, DrawBuiltIn(name));
    }
    ++cache->Uses;
}

void ReleaseMarkerBitmaps()
{
    auto &cache = Cache();
    if (cache && --cache->Uses <= 0)
        cache.reset();
}

QImage GetMarkerBitmap(std::string_view name, bool transparent)
{
    auto &cache = Cache();
    if (!cache)
        return {};
    const std::string key = UpperAscii(name);
    auto it = cache->Icons.find(key);
    if (it == cache->Icons.end()) {
        Register(*cache, key, DrawLabel(name));
        it = cache->Icons.find(key);
    }
    return transparent ? it->second.Transparent : it->second.Stored;
}

std::vector<std::string> MarkerBitmapNames()
{
    std::vector<std::string> names;
    if (const auto &cache = Cache())
        for (const auto &[name, icon] : cache->Icons)
            names.push_back(name);
    return names;
}

} // namespace vrn
