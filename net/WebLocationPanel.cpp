#include "net/WebLocationPanel.h"

#include "net/Farol.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <exception>

namespace vrn {

TWebLocationPanel::TWebLocationPanel(
    const TLocationPanelControls &controls, const QString &cacheFolder, QObject *parent)
    : QObject(parent)
    , FControls(controls)
{
    TCPCli1.setObjectName(QStringLiteral("TCPCli1"));
    HttpXferVrn.setObjectName(QStringLiteral("HttpXferVrn"));
    TCPCli1.ServerPort = 80;
    HttpXferVrn.SetTCPCli(&TCPCli1);
    HttpXferVrn.Beep = [] { QApplication::beep(); };
    FFetch = std::make_unique<TWebChartFetch>(HttpXferVrn, cacheFolder);
    FFetch->OnStatus = [this](const QString &m) { HttpXferStatusMsg(m); };
    FFetch->OnProgress = [this](int perc, qint64 bytes) { HttpXferProgressMsg(perc, bytes); };
    FFetch->OnFinished = [this](const TWebFetchResult &result) {
        ShowTransfer(false);
        if (!result.Ok)
            return;
        FWaiting = result;
        HandOver();
    };
    FHandOverTimer.setSingleShot(true);
    FHandOverTimer.setInterval(200);
    connect(&FHandOverTimer, &QTimer::timeout, this, [this] { HandOver(); });
    if (FControls.EdLocation) {
        if (FControls.EdLocation->text().isEmpty())
            FControls.EdLocation->setText(QStringLiteral("http://"));
        FControls.EdLocation->installEventFilter(this);
    }
    if (FControls.BStop) {
        FControls.BStop->setEnabled(false);
        connect(FControls.BStop, &QAbstractButton::clicked, this, [this] { BStopClick(); });
    }
    if (FControls.BRefresca)
        connect(FControls.BRefresca, &QAbstractButton::clicked, this, [this] { BRefrescaClick(); });
    if (FControls.GaugeBrowser) {
        FControls.GaugeBrowser->setRange(0, 100);
        FControls.GaugeBrowser->hide();
    }
}

TWebLocationPanel::~TWebLocationPanel()
{
    if (FControls.EdLocation)
        FControls.EdLocation->removeEventFilter(this);
    FFetch->OnFinished = nullptr;
    FFetch->OnStatus = nullptr;
    FFetch->OnProgress = nullptr;
}

void TWebLocationPanel::FetchLocation()
{
    if (!FControls.EdLocation)
        return;
    if (FFetch->Busy()) {
        FFetch->Stop();
        return;
    }
    FWaiting.reset(); // a newer fetch replaces one still waiting for a dialog
    if (FFetch->Fetch(FControls.EdLocation->text())) {
        ShowTransfer(FFetch->Busy());
        return;
    }
    HttpXferStatusMsg(FFetch->RefusedReason());
}

void TWebLocationPanel::HandOver()
{
    if (!FWaiting)
        return;
    if (QApplication::activeModalWidget()) {
        FHandOverTimer.start();
        return;
    }
    const TWebFetchResult result = std::move(*FWaiting);
    FWaiting.reset();
    try {
        if (OnFetched)
            OnFetched(result);
    } catch (const std::exception &e) {
        HttpXferStatusMsg(QString::fromUtf8(e.what()));
    }
}

void TWebLocationPanel::FetchText(const QString &location)
{
    if (FControls.EdLocation)
        FControls.EdLocation->setText(location);
    FetchLocation();
}

void TWebLocationPanel::BStopClick()
{
    FFetch->Stop();
}

void TWebLocationPanel::BRefrescaClick()
{
    FetchLocation();
}

void TWebLocationPanel::HttpXferStatusMsg(const QString &message)
{
    if (FControls.LStatusBrowser)
        FControls.LStatusBrowser->setText(message);
}

void TWebLocationPanel::HttpXferProgressMsg(int percReceived, qint64)
{
    if (FControls.GaugeBrowser)
        FControls.GaugeBrowser->setValue(std::clamp(percReceived, 0, 100));
}

void TWebLocationPanel::ShowTransfer(bool on)
{
    if (FControls.Farol) {
        if (on)
            FControls.Farol->Start();
        else
            FControls.Farol->Stop();
    }
    if (FControls.GaugeBrowser) {
        FControls.GaugeBrowser->setValue(0);
        FControls.GaugeBrowser->setVisible(on);
    }
    if (FControls.BStop)
        FControls.BStop->setEnabled(on);
}

bool TWebLocationPanel::EdLocationKeyPress(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        FetchLocation();
        return true;
    }
    if (key == Qt::Key_Escape) {
        BStopClick();
        return true;
    }
    return false;
}

bool TWebLocationPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FControls.EdLocation && event->type() == QEvent::KeyPress) {
        try {
            return EdLocationKeyPress(static_cast<QKeyEvent *>(event)->key());
        } catch (const std::exception &e) {
            HttpXferStatusMsg(QString::fromUtf8(e.what()));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vrn
