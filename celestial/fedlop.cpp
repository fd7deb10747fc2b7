#include "celestial/fedlop.h"

#include "ui/DialogButtons.h"
#include "ui/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vrn {
namespace {

QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

QLabel *ValueLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLineEdit *Field(QWidget *parent, const char *name, const QString &hint)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(hint);
    // Room for "-123.4" without growing into the page.
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    return edit;
}

QGroupBox *Group(QWidget *parent, const QString &title, QFormLayout *&rows)
{
    auto *box = new QGroupBox(title, parent);
    rows = new QFormLayout(box);
    return box;
}

// Record comments separate lines with CR LF; the memo with "\n".
QString CommentsToMemo(const std::string &comments)
{
    QString text = Q(comments);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string MemoToComments(const QString &memo)
{
    QString text = memo;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toStdString();
}

} // namespace

TDlgEditLOP::TDlgEditLOP(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgEditLOP"));
    setWindowTitle(QStringLiteral("Line of Position"));

    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl1"));

    // "Inputs"
    auto *inputs = new QWidget;
    inputs->setObjectName(QStringLiteral("TSInputs"));
    FEdNomeAstro = new QLineEdit(inputs);
    FEdNomeAstro->setObjectName(QStringLiteral("EdNomeAstro"));
    FEdNomeAstro->setToolTip(QStringLiteral("Name of the object observed"));
    FEdNomeAstro->setMaxLength(int(kMaxObjectNameChars));
    // A ";" would split the LOP's line in a LOP list file.
    FEdNomeAstro->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^;]*")), FEdNomeAstro));
    auto *objectRow = new QFormLayout;
    objectRow->addRow(QStringLiteral("Celestial object:"), FEdNomeAstro);

    QFormLayout *timeRows = nullptr;
    QGroupBox *timeBox = Group(inputs, QStringLiteral("Date/Time"), timeRows);
    FLGMT = ValueLabel(timeBox, "LGMT");
    FLLocal = ValueLabel(timeBox, "LLocal");
    FLTimeZone = ValueLabel(timeBox, "LTimeZone");
    timeRows->addRow(QStringLiteral("GMT:"), FLGMT);
    timeRows->addRow(QStringLiteral("Local:"), FLLocal);
    FLWatchError = ValueLabel(timeBox, "LWatchError");
    timeRows->addRow(QStringLiteral("Time zone:"), FLTimeZone);
    timeRows->addRow(QStringLiteral("Watch error:"), FLWatchError);

    QFormLayout *sextantRows = nullptr;
    QGroupBox *sextantBox = Group(inputs, QStringLiteral("Sextant"), sextantRows);
    FLHInst = ValueLabel(sextantBox, "LHInst");
    FLIndexError = ValueLabel(sextantBox, "LIndexError");
    FLDip = ValueLabel(sextantBox, "LDip");
    sextantRows->addRow(QStringLiteral("Hi:"), FLHInst);
    sextantRows->addRow(QStringLiteral("Index Correction:"), FLIndexError);
    sextantRows->addRow(QStringLiteral("Dip:"), FLDip);

    QFormLayout *apRows = nullptr;
    QGroupBox *apBox = Group(inputs, QStringLiteral("Assumed position "), apRows);
    FLAPLat = ValueLabel(apBox, "LAPLat");
    FLAPLon = ValueLabel(apBox, "LAPLon");
    apRows->addRow(QStringLiteral("Lat:"), FLAPLat);
    apRows->addRow(QStringLiteral("Lon:"), FLAPLon);

    auto *inputsColumns = new QHBoxLayout;
    auto *leftColumn = new QVBoxLayout;
    leftColumn->addWidget(timeBox);
    leftColumn->addWidget(apBox);
    inputsColumns->addLayout(leftColumn);
    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(sextantBox);
    rightColumn->addStretch(1);
    inputsColumns->addLayout(rightColumn);
    auto *inputsLayout = new QVBoxLayout(inputs);
    inputsLayout->addLayout(objectRow);
    inputsLayout->addLayout(inputsColumns);
    inputsLayout->addStretch(1);

    // "Results"
    auto *results = new QWidget;
    results->setObjectName(QStringLiteral("TSResults"));
    FEdDelta = Field(results, "EdDelta", QStringLiteral("Intercept in nautical miles"));
    auto *deltaNote = new QLabel(QStringLiteral("(NM + towards  - away)"), results);
    deltaNote->setObjectName(QStringLiteral("LDeltaNote"));
    auto *deltaRow = new QHBoxLayout;
    deltaRow->addWidget(FEdDelta);
    deltaRow->addWidget(deltaNote);
    deltaRow->addStretch(1);
    FEdAz = Field(results, "EdAz", QStringLiteral("Azimuth in degrees true"));
    FLGHA = ValueLabel(results, "LGHA");
    FLLHA = ValueLabel(results, "LLHA");
    FLDecl = ValueLabel(results, "LDecl");
    FLHCalc = ValueLabel(results, "LHCalc");
    FLSDCorr = ValueLabel(results, "LSDCorr");
    FLTotalCorr = ValueLabel(results, "LTotalCorr");
    auto *resultRows = new QFormLayout;
    resultRows->addRow(QStringLiteral("Intercept:"), deltaRow);
    resultRows->addRow(QStringLiteral("Az:"), FEdAz);
    resultRows->addRow(QStringLiteral("GHA:"), FLGHA);
    resultRows->addRow(QStringLiteral("LHA:"), FLLHA);
    resultRows->addRow(QStringLiteral("Decl:"), FLDecl);
    resultRows->addRow(QStringLiteral("H.calc:"), FLHCalc);
    resultRows->addRow(QStringLiteral("Semi-diameter correction:"), FLSDCorr);
    resultRows->addRow(QStringLiteral("Total altitude correction:"), FLTotalCorr);
    auto *resultsLayout = new QVBoxLayout(results);
    resultsLayout->addLayout(resultRows);
    resultsLayout->addStretch(1);

    // "LOP Transport"
    auto *transport = new QWidget;
    transport->setObjectName(QStringLiteral("TSTransport"));
    FEdTransDist = Field(transport, "EdTransDist", QStringLiteral("Distance in nautical miles"));
    FEdTransDir = Field(transport, "EdTransDir", QStringLiteral("Direction in degrees true"));
    auto *transportRows = new QFormLayout;
    transportRows->addRow(QStringLiteral("Distance (NM):"), FEdTransDist);
    transportRows->addRow(QStringLiteral("Direction (°T):"), FEdTransDir);
    auto *explanation = new QLabel(
        QStringLiteral("The LOP is transported by moving its assumed position the distance "
                       "given, in the direction given. Intercept and azimuth stay as they are. "
                       "Each transport is recorded in the comments."),
        transport);
    explanation->setObjectName(QStringLiteral("LTransportNote"));
    explanation->setWordWrap(true);
    FBTransportaReta = new QPushButton(QStringLiteral("Do transport"), transport);
    FBTransportaReta->setObjectName(QStringLiteral("BTransportaReta"));
    FBTransportaReta->setAutoDefault(false);
    auto *transportButtonRow = new QHBoxLayout;
    transportButtonRow->addWidget(FBTransportaReta);
    transportButtonRow->addStretch(1);
    auto *transportLayout = new QVBoxLayout(transport);
    transportLayout->addLayout(transportRows);
    transportLayout->addWidget(explanation);
    transportLayout->addLayout(transportButtonRow);
    transportLayout->addStretch(1);

    // "Comments"
    auto *comments = new QWidget;
    comments->setObjectName(QStringLiteral("TSComments"));
    auto *commentsNote =
        new QLabel(QStringLiteral("Use this field to add a comment (max 255 chars)"), comments);
    commentsNote->setObjectName(QStringLiteral("LCommentsNote"));
    FMemoComments = new QPlainTextEdit(comments);
    FMemoComments->setObjectName(QStringLiteral("MemoComments"));
    FMemoComments->setTabChangesFocus(true);
    auto *commentsLayout = new QVBoxLayout(comments);
    commentsLayout->addWidget(commentsNote);
    commentsLayout->addWidget(FMemoComments, 1);

    FPageControl->addTab(inputs, QStringLiteral("Inputs"));
    FPageControl->addTab(results, QStringLiteral("Results"));
    FPageControl->addTab(transport, QStringLiteral("LOP Transport"));
    FPageControl->addTab(comments, QStringLiteral("Comments"));

    const TOkCancelButtons okCancel = NewOkCancelButtons(this);
    QDialogButtonBox *buttons = okCancel.Box;
    FBOK = okCancel.OK;
    FBCancel = okCancel.Cancel;
    connect(FBTransportaReta, &QPushButton::clicked, this, &TDlgEditLOP::BTransportaRetaClick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FPageControl);
    layout->addWidget(buttons);
    // A dialog border: the pages keep the size of their contents.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

void TDlgEditLOP::FormCreate()
{
    FPageControl->setCurrentIndex(0);
    FEdTransDist->setText(QStringLiteral("0.0"));
    FEdTransDir->setText(QStringLiteral("000"));
    FillLabels();
    FillFields();
}

bool TDlgEditLOP::Edit(TLOPRecord &lop)
{
    SetLOP(lop);
    if (exec() != QDialog::Accepted)
        return false;
    lop = FLOP;
    return true;
}

void TDlgEditLOP::SetLOP(const TLOPRecord &lop)
{
    FLOP = lop;
    FillLabels();
    FillFields();
}

void TDlgEditLOP::FillLabels()
{
    const TLOPEditorTexts t = LOPEditorTexts(FLOP);
    FLGMT->setText(Q(t.GMT));
    FLLocal->setText(Q(t.Local));
    FLTimeZone->setText(Q(t.TimeZone));
    FLIndexError->setText(Q(t.IndexError));
    FLDip->setText(Q(t.Dip));
    FLWatchError->setText(Q(t.WatchError));
    FLHInst->setText(Q(t.HInst));
    FLAPLat->setText(Q(t.APLat));
    FLAPLon->setText(Q(t.APLon));
    FLGHA->setText(Q(t.GHA));
    FLLHA->setText(Q(t.LHA));
    FLDecl->setText(Q(t.Decl));
    FLHCalc->setText(Q(t.HCalc));
    FLSDCorr->setText(Q(t.SDCorr));
    FLTotalCorr->setText(Q(t.TotalCorr));
}

// The editable fields are written only when a LOP is loaded, so a transport never overwrites
// what the user has typed.
void TDlgEditLOP::FillFields()
{
    FEdNomeAstro->setText(Q(FLOP.ObjectName));
    FEdDelta->setText(Q(InterceptFieldText(FLOP.Intercept)));
    FEdAz->setText(Q(AzimuthFieldText(FLOP.Azimuth)));
    FMemoComments->setPlainText(CommentsToMemo(FLOP.Comments));
}

QLineEdit *TDlgEditLOP::FieldOf(TLOPEditField field) const
{
    switch (field) {
    case TLOPEditField::TransportDistance:
        return FEdTransDist;
    case TLOPEditField::TransportDirection:
        return FEdTransDir;
    case TLOPEditField::Azimuth:
        return FEdAz;
    case TLOPEditField::Intercept:
        return FEdDelta;
    }
    return nullptr;
}

void TDlgEditLOP::BTransportaRetaClick()
{
    RunCommand(this, [this] {
        const std::string distance = FEdTransDist->text().toStdString();
        const std::string direction = FEdTransDir->text().toStdString();
        if (!AskYesNo(this, Q(TransportQuestion(distance, direction))))
            return;
        std::string done;
        try {
            done = TransportEditedLOP(FLOP, distance, direction);
        } catch (const ELOPEditError &e) {
            FieldOf(e.Field)->setFocus();
            throw;
        }
        FillLabels();
        ShowMessage(this, Q(done));
        FMemoComments->appendPlainText(Q(done));
    });
}

bool TDlgEditLOP::FormCloseQuery()
{
    return RunCommand(this, [this] {
        const TLOPEditedFields fields {FEdNomeAstro->text().toStdString(),
            FEdDelta->text().toStdString(), FEdAz->text().toStdString(),
            MemoToComments(FMemoComments->toPlainText())};
        try {
            StoreEditedFields(FLOP, fields);
        } catch (const ELOPEditError &e) {
            QLineEdit *field = FieldOf(e.Field);
            FPageControl->setCurrentWidget(field->parentWidget());
            field->setFocus();
            throw;
        }
    });
}

void TDlgEditLOP::done(int result)
{
    if (FormCloseQuery())
        QDialog::done(result);
}

bool EditLOPOfList(QWidget *parent, TLOPList &list, int n)
{
    if (n < 1 || n > list.LOPCount())
        return false;
    TLOPRecord lop = list.LOPs()[static_cast<std::size_t>(n - 1)];
    TDlgEditLOP dialog(parent);
    if (!dialog.Edit(lop))
        return false;
    return ReplaceLOP(list, n, lop);
}

} // namespace vrn
