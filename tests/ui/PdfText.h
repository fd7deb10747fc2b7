#pragma once

// Reading back what a print job wrote: the text of a PDF file as pdftotext (poppler-utils) lays
// it out. Tests skip when pdftotext is not installed (PdfTextAvailable).

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace vrn {

inline QString PdfToTextProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
}

inline bool PdfTextAvailable()
{
    return !PdfToTextProgram().isEmpty();
}

// The text of every sheet, sheets ended by a form feed; empty when the file cannot be read.
inline QString PdfText(const QString &pdf)
{
    QProcess process;
    process.start(PdfToTextProgram(), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// pdftotext rebuilds blanks from glyph positions: compare words, in order.
inline QStringList PdfWords(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

inline int PdfSheetCount(const QString &text)
{
    return static_cast<int>(text.count(QLatin1Char('\f')));
}

} // namespace vrn
