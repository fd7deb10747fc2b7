#pragma once

// "Line of Position": the LOP editor. Shows every value of one stored LOP on four pages, lets
// the user correct its name, intercept, azimuth and comments, and transport it by a distance and
// direction. It works on a private copy; the caller's record changes only when it closes with OK.

#include "celestial/LOPEdit.h"
#include "celestial/VrnCalc.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace vrn {

class TDlgEditLOP : public QDialog
{
    Q_OBJECT

public:
    explicit TDlgEditLOP(QWidget *parent = nullptr);

    // Runs the dialog on a copy of `lop`; true when closed with OK, and `lop` is then the edited
    // copy. Otherwise `lop` is untouched.
    bool Edit(TLOPRecord &lop);

    // Fills every page from a copy of `lop` without running the dialog (Edit does this first).
    void SetLOP(const TLOPRecord &lop);

    // The copy being edited: transports are in it at once, the typed fields once the dialog has
    // accepted a close.
    const TLOPRecord &LOP() const { return FLOP; }

    void FormCreate();
    // Stores the typed fields in the copy; false (after showing why, with the focus on the
    // field at fault) when a field does not convert, and the dialog then stays open.
    bool FormCloseQuery();
    void BTransportaRetaClick();

    // OK and Cancel both close through FormCloseQuery.
    void done(int result) override;

private:
    QLineEdit *FieldOf(TLOPEditField field) const;
    void FillLabels();
    void FillFields();

    TLOPRecord FLOP;

    QTabWidget *FPageControl = nullptr;
    QLineEdit *FEdNomeAstro = nullptr;
    QLabel *FLGMT = nullptr;
    QLabel *FLLocal = nullptr;
    QLabel *FLTimeZone = nullptr;
    QLabel *FLIndexError = nullptr;
    QLabel *FLDip = nullptr;
    QLabel *FLWatchError = nullptr;
    QLabel *FLHInst = nullptr;
    QLabel *FLAPLat = nullptr;
    QLabel *FLAPLon = nullptr;
    QLineEdit *FEdDelta = nullptr;
    QLineEdit *FEdAz = nullptr;
    QLabel *FLGHA = nullptr;
    QLabel *FLLHA = nullptr;
    QLabel *FLDecl = nullptr;
    QLabel *FLHCalc = nullptr;
    QLabel *FLSDCorr = nullptr;
    QLabel *FLTotalCorr = nullptr;
    QLineEdit *FEdTransDist = nullptr;
    QLineEdit *FEdTransDir = nullptr;
    QPushButton *FBTransportaReta = nullptr;
    QPlainTextEdit *FMemoComments = nullptr;
    QPushButton *FBOK = nullptr;
    QPushButton *FBCancel = nullptr;
};

// Opens the editor on LOP n (1-based) of the list and, when it closes with OK, writes the edited
// LOP back into the list. Returns true when the list changed; the caller then refills its view
// and runs ApplyTransport. A number not in the list (an empty list, no row selected) opens
// nothing.
bool EditLOPOfList(QWidget *parent, TLOPList &list, int n);

} // namespace vrn
