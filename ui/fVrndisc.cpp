#include "ui/fVrndisc.h"

#include "ui/Fonts.h"
#include "ui/VarunelPicture.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vrn {
namespace {

constexpr const char *kLegalText = R"(VARUNEL - LICENSE AGREEMENT

Varunel is given away free of charge. You may install it on any number of
computers and pass copies on to others, provided that the program files and this
notice travel together and unchanged, and that no fee is asked for the program
itself. Pelvarq keeps the copyright of the program.


DISCLAIMER OF WARRANTY

THE PROGRAM IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED,
INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A
PARTICULAR PURPOSE AND ACCURACY OF ITS RESULTS. THE WHOLE RISK AS TO THE QUALITY
AND PERFORMANCE OF THE PROGRAM IS WITH YOU. IN NO EVENT SHALL THE AUTHORS BE LIABLE
FOR ANY DAMAGE, LOSS OF DATA, LOSS OF PROPERTY, INJURY OR LOSS OF LIFE ARISING FROM
THE USE OF THE PROGRAM OR FROM THE INABILITY TO USE IT.


NOT FOR SOLE NAVIGATION

Varunel is an aid to navigation. It does not replace official nautical charts,
the nautical almanac, sailing directions, notices to mariners, a proper lookout
or the prudent practice of seamanship. Never use it as your sole means of
navigation: check every result against an independent source, and keep a written
record of your position as you would without a computer. Charts on the screen may
be inaccurate, incomplete or out of date; a GPS position may be wrong or may fail
at any moment; a computer may stop working when you need it most.


ACKNOWLEDGMENTS

Astronomical algorithms: Jean Meeus, "Astronomical Algorithms", 2nd edition,
Willmann-Bell, 1998. Time scales, nutation, sidereal time, the Moon, rising and
setting follow its chapters.

Sun and planets: the VSOP87 planetary theory of P. Bretagnon and G. Francou
(Bureau des Longitudes, 1988), in the abridged form of Meeus's Appendix III.

The VSOP87 series and the nutation and lunar tables were converted from the
astronomia library, distributed under the MIT License:

  Copyright (c) 2013 Sonia Keys
  Copyright (c) 2016 Commenthol

  Permission is hereby granted, free of charge, to any person obtaining a copy of
  this software and associated documentation files (the "Software"), to deal in
  the Software without restriction, including without limitation the rights to
  use, copy, modify, merge, publish, distribute, sublicense, and/or sell copies of
  the Software, and to permit persons to whom the Software is furnished to do so,
  subject to the following conditions:

  The above copyright notice and this permission notice shall be included in all
  copies or substantial portions of the Software.

  THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
  IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS
  FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR
  COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER
  IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN
  CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE.

Coastlines: GSHHG, the Global Self-consistent, Hierarchical, High-resolution
Geography database of P. Wessel and W. H. F. Smith, distributed under the
GNU Lesser General Public License.

User interface: the Qt toolkit, used under the GNU Lesser General Public
License version 3.
)";

} // namespace

QString TFormVrnDisclaimer::LegalText()
{
    return QString::fromUtf8(kLegalText);
}

TFormVrnDisclaimer::TFormVrnDisclaimer(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormVrnDisclaimer"));
    setWindowTitle(QStringLiteral("Varunel"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ImgIcon"));
    icon->setPixmap(CompassRosePixmap(64));

    auto *product = new QLabel(QStringLiteral("Varunel"), this);
    product->setObjectName(QStringLiteral("LProductName"));
    QFont productFont = product->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 1.8);
    productFont.setBold(true);
    product->setFont(productFont);

    auto *version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(VRN_VERSION)), this);
    version->setObjectName(QStringLiteral("LVersion"));
    auto *build =
        new QLabel(QStringLiteral("Build: %1").arg(QStringLiteral(VRN_BUILD_LABEL)), this);
    build->setObjectName(QStringLiteral("LBuild"));

    auto *names = new QVBoxLayout;
    names->addWidget(product);
    names->addWidget(version);
    names->addWidget(build);
    auto *head = new QHBoxLayout;
    head->addWidget(icon, 0, Qt::AlignTop);
    head->addSpacing(12);
    head->addLayout(names, 1);

    auto *intro =
        new QLabel(QStringLiteral("license agreement, disclaimer and acknowledgments:"), this);
    intro->setObjectName(QStringLiteral("LIntro"));

    auto *memo = new QPlainTextEdit(this);
    memo->setObjectName(QStringLiteral("MemoLegal"));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Fixed pitch keeps the licence's own line breaks and indents as written.
    memo->setFont(MonospacedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize()));
    memo->setPlainText(LegalText());
    // As wide as the longest line with the frame, the document margins and the scroll bar, so
    // that no line is cut.
    const QFontMetrics metrics(memo->font());
    int longest = 0;
    for (const QString &line : LegalText().split(QLatin1Char('\n')))
        longest = std::max(longest, metrics.horizontalAdvance(line));
    const int chrome = 2 * memo->frameWidth()
        + 2 * static_cast<int>(std::ceil(memo->document()->documentMargin()))
        + memo->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + metrics.averageCharWidth();
    memo->setMinimumSize(longest + chrome, metrics.height() * 20);

    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("BitBtn1"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &TFormVrnDisclaimer::BitBtn1Click);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addSpacing(8);
    layout->addWidget(intro);
    layout->addWidget(memo, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void TFormVrnDisclaimer::BitBtn1Click()
{
    accept();
}

} // namespace vrn
