#pragma once

// The star finder's body icons, one screen and one printer picture per slot (see
// StarFinderIconIndex). They come from the program's resources, are read on first use, which
// must follow the creation of the application object, and are freed when it ends. The screen
// pictures are drawn over black, which becomes transparent; the printer pictures over grey
// (128, 128, 128), likewise.

#include "sky/StarFinderScene.h"

#include <QImage>
#include <array>

namespace vrn {

class TStarFinderIcons
{
public:
    // Null images for the two unused slots.
    const QImage &Screen(int slot) const;
    const QImage &Printer(int slot) const;

    TIconSizes ScreenSizes() const;
    TIconSizes PrinterSizes() const;

private:
    friend const TStarFinderIcons &StarFinderIcons();
    TStarFinderIcons();

    std::array<QImage, kStarFinderIconCount> FScreen;
    std::array<QImage, kStarFinderIconCount> FPrinter;
};

const TStarFinderIcons &StarFinderIcons();

} // namespace vrn
