#pragma once

// The importer's status box after the alignment check: the North-South and East-West verdicts,
// each beside a good or bad icon, and what they mean.

#include <QDialog>

class QLabel;

namespace vrn {

class TFormImageImportStatus : public QDialog
{
    Q_OBJECT

public:
    explicit TFormImageImportStatus(QWidget *parent = nullptr);

    // Icon index 0 good, 1 bad.
    void SetLines(const QString &nsText, int nsIcon, const QString &ewText, int ewIcon);

    QString NsText() const;
    QString EwText() const;

    int EwIcon() const { return FEwIcon; }

private:
    QLabel *FImgNS = nullptr;
    QLabel *FLNS = nullptr;
    QLabel *FImgEW = nullptr;
    QLabel *FLEW = nullptr;
    int FEwIcon = 0;
};

} // namespace vrn
