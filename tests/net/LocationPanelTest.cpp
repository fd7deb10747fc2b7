// The location panel as the user works it: a location typed into "Location:" and Enter, Escape
// or "Stop download" during a transfer, a refused location, against servers on 127.0.0.1.

#include "TestServers.h"
#include "net/Farol.h"
#include "net/WebLocationPanel.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace vrn;

namespace {

// The viewer's controls of the panel, in a window of their own.
struct TPanelWindow
{
    QWidget Window;
    QLineEdit *Location = new QLineEdit(&Window);
    QPushButton *Stop = new QPushButton(QStringLiteral("Stop download"), &Window);
    QPushButton *Refresh = new QPushButton(QStringLiteral("Refresh desktop"), &Window);
    QLabel *Status = new QLabel(&Window);
    QProgressBar *Gauge = new QProgressBar(&Window);
    TFarol *Farol = new TFarol(&Window);

    TPanelWindow()
    {
        Location->setObjectName(QStringLiteral("EdLocation"));
        Stop->setObjectName(QStringLiteral("BStop"));
        Refresh->setObjectName(QStringLiteral("BRefresca"));
        Status->setObjectName(QStringLiteral("LStatusBrowser"));
        Gauge->setObjectName(QStringLiteral("GaugeBrowser"));
        auto *row = new QHBoxLayout(&Window);
        for (QWidget *w :
            std::initializer_list<QWidget *> {Location, Stop, Refresh, Status, Gauge, Farol})
            row->addWidget(w);
        Window.show();
    }

    TLocationPanelControls Controls() const
    {
        return {Location, Stop, Refresh, Status, Gauge, Farol};
    }
};

} // namespace

class TLocationPanelTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FRoot;
    TTestServer FPython;
    TTestServer FScripted;
    std::unique_ptr<QTemporaryDir> FCache;
    std::unique_ptr<TPanelWindow> FWindow;
    std::unique_ptr<TWebLocationPanel> FPanel;
    QList<TWebFetchResult> FFetched;

    void Type(const QString &location)
    {
        FWindow->Location->setFocus();
        FWindow->Location->selectAll();
        QTest::keyClicks(FWindow->Location, location);
    }

    bool Idle() const { return !FPanel->Fetcher().Busy() && !FWindow->Stop->isEnabled(); }

private slots:

    void initTestCase()
    {
        QDir(FRoot.path()).mkpath(QStringLiteral("d"));
        QFile desk(FRoot.filePath(QStringLiteral("d/desk.vrn")));
        QVERIFY(desk.open(QIODevice::WriteOnly));
        desk.write("O;Chart;coast.cht;45;10;5\r\n\r\nO;Route;r\r\nP;1;2;p\r\n\r\n");
        desk.close();
        QFile chart(FRoot.filePath(QStringLiteral("d/coast.cht")));
        QVERIFY(chart.open(QIODevice::WriteOnly));
        chart.write("O;Polygon;land\r\nP;45;10\r\nP;46;10\r\nP;46;11\r\n");
        chart.close();
        QVERIFY2(FPython.StartHttpServer(FRoot.path()), qPrintable(FPython.Error()));
        QVERIFY2(FScripted.StartScripted(FRoot.path(), FRoot.filePath(QStringLiteral("log"))),
            qPrintable(FScripted.Error()));
    }

    void init()
    {
        FCache = std::make_unique<QTemporaryDir>();
        FWindow = std::make_unique<TPanelWindow>();
        FPanel = std::make_unique<TWebLocationPanel>(FWindow->Controls(), FCache->path());
        FPanel->HttpXferVrn.Beep = nullptr;
        FFetched.clear();
        FPanel->OnFetched = [this](const TWebFetchResult &r) { FFetched << r; };
        QVERIFY(QTest::qWaitForWindowExposed(&FWindow->Window));
    }

    void cleanup()
    {
        FPanel.reset();
        FWindow.reset();
    }

    void StartsIdle()
    {
        QCOMPARE(FWindow->Location->text(), QStringLiteral("http://"));
        QVERIFY(!FWindow->Stop->isEnabled());
        QVERIFY(FWindow->Gauge->isHidden());
        QVERIFY(!FWindow->Farol->Playing());
    }

    void EnterFetchesTheDesktopWithItsChart()
    {
        Type(FPython.Url(QStringLiteral("/d/desk.vrn")));
        QTest::keyClick(FWindow->Location, Qt::Key_Return);
        // The transfer has started: the indicators are on until it ends.
        QVERIFY(FWindow->Stop->isEnabled());
        QVERIFY(FWindow->Gauge->isVisible());
        QVERIFY(FWindow->Farol->Playing());
        QVERIFY(QTest::qWaitFor([this] { return Idle(); }, 60000));
        QCOMPARE(FWindow->Status->text(), QStringLiteral("Ok"));
        QVERIFY(FWindow->Gauge->isHidden());
        QVERIFY(!FWindow->Farol->Playing());
        QCOMPARE(FFetched.size(), 1);
        QCOMPARE(FFetched[0].DesktopPath, FCache->filePath(QStringLiteral("desk.vrn")));
        QCOMPARE(FFetched[0].ChartPath, FCache->filePath(QStringLiteral("coast.cht")));
        // "Refresh desktop" asks again: the server has nothing newer.
        QTest::mouseClick(FWindow->Refresh, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([this] { return FFetched.size() == 2 && Idle(); }, 60000));
        QVERIFY(!FFetched[1].Files.front().Fetched);
        QCOMPARE(FWindow->Status->text(), QStringLiteral("Ok"));
    }

    void StoppingATransfer_data()
    {
        QTest::addColumn<int>("how");
        QTest::addRow("Escape in the field") << 0;
        QTest::addRow("Stop download") << 1;
        QTest::addRow("Enter again") << 2;
    }

    void StoppingATransfer()
    {
        QFETCH(int, how);
        int beeps = 0;
        FPanel->HttpXferVrn.Beep = [&beeps] { ++beeps; };
        Type(FScripted.Url(QStringLiteral("/silent/x.cht")));
        QTest::keyClick(FWindow->Location, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor(
            [this] { return FWindow->Status->text().startsWith(QLatin1String("Transferindo")); },
            60000));
        if (how == 0)
            QTest::keyClick(FWindow->Location, Qt::Key_Escape);
        else if (how == 1)
            QTest::mouseClick(FWindow->Stop, Qt::LeftButton);
        else
            QTest::keyClick(FWindow->Location, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([this] { return Idle(); }, 60000));
        QCOMPARE(FWindow->Status->text(), QStringLiteral("Transferência interrompida"));
        QCOMPARE(beeps, 1);
        QVERIFY(FWindow->Gauge->isHidden());
        QVERIFY(FFetched.isEmpty());
        // Nothing else starts after the stop.
        QTest::qWait(200);
        QVERIFY(Idle());
    }

    void RefusedLocationSaysWhyAndLeavesTheIndicators()
    {
        Type(QStringLiteral("ftp://charts.example/x.cht"));
        QTest::keyClick(FWindow->Location, Qt::Key_Enter);
        QCOMPARE(FWindow->Status->text(),
            QStringLiteral("Location refused: mail and ftp addresses are not fetched"));
        QVERIFY(Idle());
        QVERIFY(FWindow->Gauge->isHidden());
        QVERIFY(!FWindow->Farol->Playing());
        QVERIFY(FFetched.isEmpty());
    }

    void FailureEndsWithItsReason()
    {
        Type(FScripted.Url(QStringLiteral("/status-500/x.cht")));
        QTest::keyClick(FWindow->Location, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([this] { return Idle(); }, 60000));
        QCOMPARE(FWindow->Status->text(), QStringLiteral("500 Erro interno no Servidor"));
        QVERIFY(FFetched.isEmpty());
    }

    void ADialogOpenDelaysTheHandOver()
    {
        QDialog dialog(&FWindow->Window);
        dialog.setModal(true);
        dialog.show();
        QVERIFY(QApplication::activeModalWidget() == &dialog);
        FPanel->FetchText(FPython.Url(QStringLiteral("/d/desk.vrn")));
        QVERIFY(QTest::qWaitFor([this] { return Idle(); }, 60000));
        QCOMPARE(FWindow->Status->text(), QStringLiteral("Ok"));
        QTest::qWait(500);
        QVERIFY(FFetched.isEmpty()); // the dialog is still open
        dialog.accept();
        QVERIFY(QTest::qWaitFor([this] { return FFetched.size() == 1; }, 60000));
        QCOMPARE(FFetched[0].DesktopPath, FCache->filePath(QStringLiteral("desk.vrn")));
    }

    void ProgressReachesTheGauge()
    {
        QFile big(FRoot.filePath(QStringLiteral("d/big.cht")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        const QByteArray line = "; a comment line of a chart file\r\n";
        for (int i = 0; i < 60000; ++i)
            big.write(line);
        big.close();
        int last = -1;
        bool rising = true;
        FPanel->Fetcher().OnProgress = [&](int perc, qint64 bytes) {
            FPanel->HttpXferProgressMsg(perc, bytes);
            rising = rising && perc >= last;
            last = FWindow->Gauge->value();
        };
        FPanel->FetchText(FScripted.Url(QStringLiteral("/plain/d/big.cht")));
        QVERIFY(QTest::qWaitFor([this] { return Idle(); }, 60000));
        QCOMPARE(FWindow->Status->text(), QStringLiteral("Ok"));
        QCOMPARE(last, 100);
        QVERIFY(rising);
        QCOMPARE(FFetched.size(), 1);
    }
};

QTEST_MAIN(TLocationPanelTest)
#include "LocationPanelTest.moc"
