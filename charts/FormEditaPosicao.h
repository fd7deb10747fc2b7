#pragma once

// "Edit Position": the point editor of the chart viewer (route and track points) and of the
// chart preparation program (reference points, without the text field). It shows the latitude,
// the longitude, the point's text and, for track points, its date and time; OK writes them back
// only when every field reads.

#include "charts/ChtObjects.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vrn {

class TKaPositionEdit;

class TFormEditaPosicao : public QDialog
{
    Q_OBJECT

public:
    explicit TFormEditaPosicao(QWidget *parent = nullptr);

    // Runs the dialog on one point; trackPoint shows the "Date/Time:" field. True on OK, with
    // the point changed; Cancel leaves it as it was. Position fields the user did not touch keep
    // the point's exact position (they show it rounded to hundredths of a minute).
    bool Execute(TChtPoint &point, const QString &prompt, bool trackPoint);
    // The same on the index-th point of a route, track or polygon (a track's points show their
    // time); the owner's box follows the edited point.
    bool Execute(TChtPoliPoints &owner, std::size_t index, const QString &prompt);

    // A position alone, the "Text:" and "Date/Time:" fields hidden (reference points of a
    // chart picture): true on OK with latDeg, lonDeg set; false on Cancel, both unchanged.
    bool ExecutePosition(double &latDeg, double &lonDeg, const QString &prompt);

    // Fills the fields without running the dialog (Execute does this first).
    void SetPoint(const TChtPoint &point, const QString &prompt, bool trackPoint, bool withText);

    // OK stores the fields (and keeps the dialog open with the field at fault focused when one
    // does not read); Cancel closes.
    void done(int result) override;

private:
    bool Run(TChtPoint &point);

    TChtPoint FPoint; // the values the fields were filled with, then the edited ones
    bool FTrackPoint = false;
    bool FPositionChanged = false;

    QLabel *FLPrompt = nullptr;
    TKaPositionEdit *FEdLatitude = nullptr;
    TKaPositionEdit *FEdLongitude = nullptr;
    QLabel *FLText = nullptr;
    QLineEdit *FEdText = nullptr;
    QLabel *FLDateTime = nullptr;
    QLineEdit *FEdDateTime = nullptr;
    QPushButton *FBOK = nullptr;
    QPushButton *FBCancel = nullptr;
};

} // namespace vrn
