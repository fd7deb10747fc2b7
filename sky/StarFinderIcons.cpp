#include "sky/StarFinderIcons.h"

#include <QCoreApplication>
#include <QString>
#include <memory>

// Resources of a static library are registered by hand, outside any namespace.
static void InitStarFinderIconResources()
{
    Q_INIT_RESOURCE(StarFinderIcons);
}

namespace vrn {
namespace {

constexpr std::array<const char *, kStarFinderIconCount> kResourceNames = {
    "SUN", "MOON", nullptr, nullptr, "STAR1", "STAR2", "JUPITER", "VENUS", "SATURN", "MARS"};

// Pixels of exactly the key colour become transparent.
QImage Keyed(const QString &path, QRgb key)
{
    QImage image(path);
    if (image.isNull())
        return image;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                row[x] = 0;
        }
    }
    return image;
}

std::unique_ptr<TStarFinderIcons> &Instance()
{
    static std::unique_ptr<TStarFinderIcons> icons;
    return icons;
}

TIconSizes SizesOf(const std::array<QImage, kStarFinderIconCount> &images)
{
    TIconSizes sizes {};
    for (std::size_t i = 0; i < images.size(); ++i)
        sizes[i] = {images[i].width(), images[i].height()};
    return sizes;
}

} // namespace

TStarFinderIcons::TStarFinderIcons()
{
    InitStarFinderIconResources();
    for (std::size_t i = 0; i < kResourceNames.size(); ++i) {
        if (!kResourceNames[i])
            continue;
        const QString name = QString::fromLatin1(kResourceNames[i]);
        FScreen[i] = Keyed(QStringLiteral(":/sky/icons/%1.png").arg(name), qRgb(0, 0, 0));
        FPrinter[i] = Keyed(QStringLiteral(":/sky/icons/%1_P.png").arg(name), qRgb(128, 128, 128));
    }
}

const QImage &TStarFinderIcons::Screen(int slot) const
{
    static const QImage none;
    return slot >= 0 && slot < kStarFinderIconCount ? FScreen[std::size_t(slot)] : none;
}

const QImage &TStarFinderIcons::Printer(int slot) const
{
    static const QImage none;
    return slot >= 0 && slot < kStarFinderIconCount ? FPrinter[std::size_t(slot)] : none;
}

TIconSizes TStarFinderIcons::ScreenSizes() const
{
    return SizesOf(FScreen);
}

TIconSizes TStarFinderIcons::PrinterSizes() const
{
    return SizesOf(FPrinter);
}

const TStarFinderIcons &StarFinderIcons()
{
    auto &icons = Instance();
    if (!icons) {
        icons.reset(new TStarFinderIcons);
        qAddPostRoutine([] { Instance().reset(); });
    }
    return *icons;
}

} // namespace vrn
