#pragma once

// What the kartograv window tests share: the point editor answered through its real fields, the
// polygon name typed into the real input box, and pictures with known georeferencing.

#include "apps/kartograv/PictureView.h"
#include "charts/ChartRender.h"
#include "charts/PictureWriters.h"
#include "common/VrnEdit.h"
#include "engine/Trigonom.h"
#include "tests/apps/kartograv/ModalAnswers.h"
#include "tests/charts/GeoPicture.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <array>

namespace vrn::testing {

// Types an angle into a position field cell by cell, as "49°26.25'N" is typed.
inline void TypeAngle(TKaPositionEdit *field, double deg, std::string_view letters)
{
    const QString text = QString::fromStdString(FormatAngleDM2(letters, deg)).trimmed();
    const int degreeMark = text.indexOf(QChar(0x00B0));
    const int dot = text.indexOf(QLatin1Char('.'));
    const int minuteMark = text.indexOf(QLatin1Char('\''));
    const QString parts[4] = {text.left(degreeMark), text.mid(degreeMark + 1, dot - degreeMark - 1),
        text.mid(dot + 1, minuteMark - dot - 1), text.mid(minuteMark + 1)};
    QLineEdit *cells[4] = {
        field->DegreesCell(), field->MinutesCell(), field->FractionCell(), field->HemisphereCell()};
    for (int i = 0; i < 4; ++i) {
        cells[i]->setFocus();
        cells[i]->selectAll();
        QTest::keyClicks(cells[i], parts[i]);
    }
}

// Types the position into the point editor and presses OK (or Cancel when cancel is set); the
// prompt it showed is kept in *prompt.
inline TModalAnswers::TStep EnterPosition(
    double latDeg, double lonDeg, QString *prompt = nullptr, bool cancel = false)
{
    return [=](QDialog &dialog) {
        if (prompt) {
            if (auto *l = dialog.findChild<QLabel *>(QStringLiteral("LPrompt")))
                *prompt = l->text();
        }
        auto *lat = dialog.findChild<TKaPositionEdit *>(QStringLiteral("EdLatitude"));
        auto *lon = dialog.findChild<TKaPositionEdit *>(QStringLiteral("EdLongitude"));
        if (lat && lon) {
            TypeAngle(lat, latDeg, "NS");
            TypeAngle(lon, lonDeg, "WE");
        }
        auto *button = dialog.findChild<QPushButton *>(
            cancel ? QStringLiteral("BCancel") : QStringLiteral("BOK"));
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            dialog.reject();
    };
}

// Types a name into a one-line input box and presses OK.
inline TModalAnswers::TStep TypeText(const QString &text, bool cancel = false)
{
    return [=](QDialog &dialog) {
        if (auto *edit = dialog.findChild<QLineEdit *>())
            QTest::keyClicks(edit, text);
        if (cancel)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (auto *edit = dialog.findChild<QLineEdit *>())
            QTest::keyClick(edit, Qt::Key_Return);
    };
}

inline TModalAnswers::TStep ClickButton(const QString &name)
{
    return [=](QDialog &dialog) {
        if (auto *b = dialog.findChild<QPushButton *>(name))
            QTest::mouseClick(b, Qt::LeftButton);
        else
            dialog.reject();
    };
}

// Runs the message loop until every expected dialog was answered (or 10 s passed).
inline bool WaitAnswered(const TModalAnswers &answers)
{
    return QTest::qWaitFor([&] { return answers.AllAnswered(); }, 10000);
}

inline void ClickPicture(TPictureView *view, int x, int y)
{
    QTest::mouseClick(view->Canvas(), Qt::LeftButton, {}, QPoint(x, y));
}

// A chart picture of the English Channel drawn from the world coastline (Mercator, 4° of
// longitude across 900 pixels, centred on 50.3N 1.5W), written as a JPEG; the pixels of the
// given positions are put into their X and Y.
inline QString ChannelChart(const QString &file, std::array<TChartPoint, 3> &points)
{
    const int w = 900, h = 640;
    const TChartViewSpec view {50.3, 1.5, 4.0};
    TChartScene scene;
    scene.Load(VRN_CHART_DATA_DIR "/world.cht");
    const QImage chart = scene.Render(view, w, h, false);
    TExBitmap picture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = chart.pixel(x, y);
            picture.SetPixel(x, y, qRed(c), qGreen(c), qBlue(c));
        }
    WritePictureFile(file.toStdString(), picture);
    TPainterSurface surface;
    surface.SetSize(w, h);
    surface.Escala.SetView(view.LatC, view.LonC, view.LonSpan);
    for (auto &p : points) {
        const TScreenPointF at = surface.Escala.World2ScreenF(p.Lat, p.Lon);
        p.X = at.X;
        p.Y = at.Y;
    }
    return file;
}

} // namespace vrn::testing
