// The transfer against real servers on 127.0.0.1: Python's http.server, a scripted server with
// broken replies, and a TLS server with a certificate made here by openssl. Each case fetches
// into a fresh cache folder and then checks what the folder holds: the complete files, never a
// partial one, and nothing beside or above it.

#include "TestServers.h"
#include "engine/VrnError.h"
#include "net/SockCmp.h"
#include "net/WebFetch.h"
#include "net/httpxfer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace vrn;

namespace {

const QByteArray kDesktop = "O;Chart;coast.cht;  45.00000;  10.00000;   5.00000\r\n\r\n"
                            "O;Route;r1\r\nA;Color=$000000FF\r\nP;45;10;a\r\nP;46;11;b\r\n\r\n";
const QByteArray kChart = "O;Polygon;land\r\nP;45;10\r\nP;46;10\r\nP;46;11\r\n";
const QByteArray kSolo = "O;Route;solo\r\nP;1;2;p\r\n\r\n";

struct TFetchRun
{
    TWebFetchResult Result;
    QStringList Statuses;
    QList<int> Progress;
    int Finished = 0;
    int Beeps = 0;
};

using TSetup = std::function<void(TTCPCli &, THttpXfer &, TWebChartFetch &)>;

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TTransferTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FRoot; // what the servers serve
    QTemporaryDir FPki;
    TTestServer FPython;
    TTestServer FScripted;
    TTestServer FTls;
    std::unique_ptr<QTemporaryDir> FWork;

    QString Cache() const { return FWork->filePath(QStringLiteral("cache")); }

    QString Log() const { return FRoot.filePath(QStringLiteral("requests.log")); }

    QString Server(const QString &name, const QString &path) const
    {
        if (name == QLatin1String("python"))
            return FPython.Url(path);
        if (name == QLatin1String("tls"))
            return QStringLiteral("https://127.0.0.1:%1%2").arg(FTls.Port()).arg(path);
        return FScripted.Url(path);
    }

    TFetchRun Fetch(const QString &location, const TSetup &setup = {})
    {
        TFetchRun run;
        TTCPCli client;
        THttpXfer xfer;
        xfer.SetTCPCli(&client);
        xfer.Beep = [&run] { ++run.Beeps; };
        TWebChartFetch fetch(xfer, Cache());
        fetch.OnStatus = [&run](const QString &m) { run.Statuses << m; };
        fetch.OnProgress = [&run](int perc, qint64) { run.Progress << perc; };
        fetch.OnFinished = [&run](const TWebFetchResult &r) {
            run.Result = r;
            ++run.Finished;
        };
        if (setup)
            setup(client, xfer, fetch);
        if (!fetch.Fetch(location)) {
            run.Result.Reason = fetch.RefusedReason();
            return run;
        }
        // A bound for a broken test, far beyond any time-out a case sets.
        if (!QTest::qWaitFor([&] { return run.Finished > 0; }, 120000))
            qWarning("the fetch never ended");
        // Any second completion would come from the event loop now.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return run;
    }

    // The files of the cache folder (its index aside), and of the work folder besides it.
    QStringList CacheFiles() const
    {
        QStringList files = QDir(Cache()).entryList(
            QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        files.removeAll(QStringLiteral(".vrn-cache-index"));
        return files;
    }

    QStringList Outside() const
    {
        QStringList files =
            QDir(FWork->path())
                .entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        files.removeAll(QStringLiteral("cache"));
        return files;
    }

    static QStringList Held(const TWebFetchResult &r)
    {
        QStringList held;
        for (const TWebFetchFile &f : r.Files)
            held << (f.Fetched ? QStringLiteral("fetched ") : QStringLiteral("cached "))
                    + QFileInfo(f.Path).fileName();
        return held;
    }

private slots:

    void initTestCase()
    {
        QVERIFY(FRoot.isValid());
        const QString r = FRoot.path();
        WriteFile(r + "/d/desk.vrn", kDesktop);
        {
            // An old file: its cached copy must take this time from Last-Modified, not the time
            // of the fetch.
            QFile old(r + "/d/desk.vrn");
            QVERIFY(old.open(QIODevice::ReadWrite));
            QVERIFY(old.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC),
                QFileDevice::FileModificationTime));
        }
        WriteFile(r + "/d/coast.cht", kChart);
        WriteFile(r + "/d/solo.vrn", kSolo);
        WriteFile(r + "/d/empty.cht", "");
        WriteFile(r + "/d/garbage.vrn", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18));
        WriteFile(r + "/d/page.cht", "<html><body>404 - not here</body></html>\n");
        WriteFile(r + "/d/climb.vrn", "O;Chart;../../x.cht;1;2;3\r\n\r\n");
        WriteFile(r + "/d/absolute.vrn", "O;Chart;/etc/x.cht;1;2;3\r\n\r\n");
        WriteFile(r + "/d/notchart.vrn", "O;Chart;notes.txt;1;2;3\r\n\r\n");
        WriteFile(r + "/d/missing.vrn", "O;Chart;gone.cht;1;2;3\r\n\r\n");
        WriteFile(r + "/x.cht", kChart);
        WriteFile(r + "/d/etc/x.cht", kChart + "P;47;12\r\n");

        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                FPki.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                FPki.filePath(QStringLiteral("cert.pem"))});
        QVERIFY2(openssl.waitForFinished(60000) && openssl.exitCode() == 0,
            openssl.readAllStandardError().constData());

        QVERIFY2(FPython.StartHttpServer(r), qPrintable(FPython.Error()));
        QVERIFY2(FScripted.StartScripted(r, Log()), qPrintable(FScripted.Error()));
        QVERIFY2(FTls.StartScripted(r, FRoot.filePath(QStringLiteral("tls.log")),
                     {QStringLiteral("--tls"), FPki.filePath(QStringLiteral("cert.pem")),
                         FPki.filePath(QStringLiteral("key.pem"))}),
            qPrintable(FTls.Error()));
    }

    void init()
    {
        FWork = std::make_unique<QTemporaryDir>();
        QVERIFY(FWork->isValid());
    }

    void cleanup()
    {
        QCOMPARE(Outside(), QStringList());
        for (const QString &f : CacheFiles())
            QVERIFY2(!f.startsWith(QLatin1String(".vrn-part-")), qPrintable(f));
    }

    void Replies_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("held");

        const QStringList none;
        QTest::addRow("desktop brings its chart")
            << "python"
            << "/d/desk.vrn" << true << "" << QStringList {"fetched desk.vrn", "fetched coast.cht"};
        QTest::addRow("chart alone")
            << "python"
            << "/d/coast.cht" << true << "" << QStringList {"fetched coast.cht"};
        QTest::addRow("desktop without a chart")
            << "scripted"
            << "/plain/d/solo.vrn" << true << "" << QStringList {"fetched solo.vrn"};
        QTest::addRow("404") << "python"
                             << "/d/nothere.cht" << false << "404 Arquivo não encontrado" << none;
        QTest::addRow("500") << "scripted"
                             << "/status-500/x.cht" << false << "500 Erro interno no Servidor"
                             << none;
        QTest::addRow("status outside the table")
            << "scripted"
            << "/status-206/x.cht" << false << "HTTP status 206 from http://127.0.0.1:" << none;
        QTest::addRow("304 without a cached copy")
            << "scripted"
            << "/status-304/x.cht" << false << "304 Não modificado, but the cache holds no copy"
            << none;
        QTest::addRow("truncated body")
            << "scripted"
            << "/truncated/d/coast.cht" << false << "Arquivo truncado" << none;
        QTest::addRow("ended by close, no length")
            << "scripted"
            << "/noclen/d/coast.cht" << true << "" << QStringList {"fetched coast.cht"};
        QTest::addRow("empty, ended by close")
            << "scripted"
            << "/noclen/d/empty.cht" << false << "Arquivo truncado" << none;
        QTest::addRow("length 0") << "scripted"
                                  << "/plain/d/empty.cht" << true << ""
                                  << QStringList {"fetched empty.cht"};
        QTest::addRow("chunked") << "scripted"
                                 << "/chunked/d/desk.vrn" << true << ""
                                 << QStringList {"fetched desk.vrn", "fetched coast.cht"};
        QTest::addRow("closed without a reply")
            << "scripted"
            << "/close/x.cht" << false << "closed the connection without a reply" << none;
        QTest::addRow("redirect reported")
            << "scripted"
            << "/redirect/d/coast.cht" << false
            << "302 Movido Temporariamente: the file moved to /plain/d/coast.cht" << none;
        QTest::addRow("header without end")
            << "scripted"
            << "/endless-header/x.cht" << false << "Bad response: the header is longer than 64 KiB"
            << none;
        QTest::addRow("1 MB header line")
            << "scripted"
            << "/long-line/x.cht" << false << "Bad response: a header line is longer than 8 KiB"
            << none;
        QTest::addRow("negative length") << "scripted"
                                         << "/neg-length/x.cht" << false
                                         << "Bad response: invalid Content-Length \"-5\"" << none;
        QTest::addRow("huge length")
            << "scripted"
            << "/huge-length/x.cht" << false << "Bad response: invalid Content-Length" << none;
        QTest::addRow("binary garbage as a desktop")
            << "scripted"
            << "/plain/d/garbage.vrn" << false << "garbage.vrn is not a chart file" << none;
        QTest::addRow("an error page as a chart")
            << "scripted"
            << "/plain/d/page.cht" << false << "page.cht is not a chart file" << none;
        QTest::addRow("chart name climbing out")
            << "scripted"
            << "/plain/d/climb.vrn" << true << ""
            << QStringList {"fetched climb.vrn", "fetched x.cht"};
        QTest::addRow("absolute chart name")
            << "scripted"
            << "/plain/d/absolute.vrn" << true << ""
            << QStringList {"fetched absolute.vrn", "fetched x.cht"};
        QTest::addRow("chart reference not a chart")
            << "scripted"
            << "/plain/d/notchart.vrn" << false
            << "The desktop's chart \"notes.txt\" is not a vector chart (.cht)"
            << QStringList {"fetched notchart.vrn"};
        QTest::addRow("desktop's chart missing")
            << "scripted"
            << "/plain/d/missing.vrn" << false << "404 Arquivo não encontrado"
            << QStringList {"fetched missing.vrn"};
        QTest::addRow("https, trusted") << "tls"
                                        << "/plain/d/desk.vrn" << true << ""
                                        << QStringList {"fetched desk.vrn", "fetched coast.cht"};
    }

    void Replies()
    {
        QFETCH(QString, server);
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(QString, reason);
        QFETCH(QStringList, held);

        const QString ca = FPki.filePath(QStringLiteral("cert.pem"));
        const TFetchRun run =
            Fetch(Server(server, path), [&](TTCPCli &client, THttpXfer &, TWebChartFetch &) {
                client.ExtraCaCertificates = QSslCertificate::fromPath(ca);
            });
        QCOMPARE(run.Finished, 1);
        QCOMPARE(run.Result.Ok, ok);
        if (ok)
            QCOMPARE(run.Result.Reason, QString());
        else
            QVERIFY2(run.Result.Reason.contains(reason), qPrintable(run.Result.Reason));
        QCOMPARE(Held(run.Result), held);
        // Every failure says why, last.
        if (!ok)
            QCOMPARE(run.Statuses.last(), run.Result.Reason);
        // What the cache holds is exactly what was fetched, each file whole.
        QStringList names;
        for (const QString &h : held)
            names << h.section(' ', 1);
        names.sort();
        QCOMPARE(CacheFiles(), names);
        for (const TWebFetchFile &f : run.Result.Files) {
            const QString name = QFileInfo(f.Path).fileName();
            const QByteArray got = ReadAll(f.Path);
            if (name == QLatin1String("desk.vrn"))
                QCOMPARE(got, kDesktop);
            else if (name == QLatin1String("coast.cht"))
                QCOMPARE(got, kChart);
            else if (name == QLatin1String("x.cht") && path.contains(QLatin1String("absolute")))
                QCOMPARE(got, kChart + "P;47;12\r\n"); // /d/etc/x.cht, beside the desktop
            else if (name == QLatin1String("x.cht"))
                QCOMPARE(got, kChart); // /x.cht, the server's root
        }
    }

    void LocationsRefusedBeforeAnyConnection_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("reason");
        QTest::addRow("no desktop or chart")
            << "http://127.0.0.1:1/readme.txt"
            << "Location refused: it names no desktop (.vrn) or chart (.cht)";
        QTest::addRow("mailto") << "mailto:x@y.cht"
                                << "Location refused: mail and ftp";
        QTest::addRow("ftp") << "ftp://h/x.cht"
                             << "Location refused: mail and ftp";
        QTest::addRow("no server") << "x.cht"
                                   << "Location refused: no server named";
        QTest::addRow("last segment dot dot") << "http://127.0.0.1:1/a.cht/.."
                                              << "Location refused: the location names no file";
        QTest::addRow("last segment empty") << "http://127.0.0.1:1/a.vrn/"
                                            << "Location refused: the location names no file";
    }

    void LocationsRefusedBeforeAnyConnection()
    {
        QFETCH(QString, location);
        QFETCH(QString, reason);
        const TFetchRun run = Fetch(location);
        QCOMPARE(run.Finished, 0);
        QVERIFY2(run.Result.Reason.startsWith(reason), qPrintable(run.Result.Reason));
        QVERIFY(!QFileInfo::exists(Cache()));
    }

    void SecondFetchRevalidatesTheCachedCopies()
    {
        const QString url = FPython.Url(QStringLiteral("/d/desk.vrn"));
        QCOMPARE(Held(Fetch(url).Result), (QStringList {"fetched desk.vrn", "fetched coast.cht"}));
        QCOMPARE(QFileInfo(Cache() + "/desk.vrn").lastModified().toUTC(),
            QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC));
        const TFetchRun again = Fetch(url);
        QVERIFY(again.Result.Ok);
        QCOMPARE(Held(again.Result), (QStringList {"cached desk.vrn", "cached coast.cht"}));
        QVERIFY(again.Statuses.contains(QStringLiteral("304 Não modificado")));
        QCOMPARE(again.Statuses.last(), QStringLiteral("Ok"));
        // The chart changes on the server: only it comes again.
        const QString served = FRoot.filePath(QStringLiteral("d/coast.cht"));
        WriteFile(served, kChart + "P;47;12\r\n");
        QFile touched(served);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(
            QDateTime::currentDateTimeUtc().addSecs(60), QFileDevice::FileModificationTime));
        touched.close();
        const TFetchRun changed = Fetch(url);
        WriteFile(served, kChart);
        QCOMPARE(Held(changed.Result), (QStringList {"cached desk.vrn", "fetched coast.cht"}));
        QCOMPARE(ReadAll(Cache() + "/coast.cht"), kChart + "P;47;12\r\n");
    }

    void SameNameFromAnotherUrlIsNotRevalidated()
    {
        QVERIFY(Fetch(FPython.Url(QStringLiteral("/d/solo.vrn"))).Result.Ok);
        // The scripted server has the same file under another URL: it must be asked for whole.
        QFile::remove(Log());
        const TFetchRun other = Fetch(FScripted.Url(QStringLiteral("/plain/d/solo.vrn")));
        QCOMPARE(Held(other.Result), QStringList {"fetched solo.vrn"});
        const QByteArray request = ReadAll(Log());
        QVERIFY2(!request.toLower().contains("if-modified-since"), request.constData());
        // Asked again from the same URL, it is revalidated.
        QFile::remove(Log());
        Fetch(FScripted.Url(QStringLiteral("/plain/d/solo.vrn")));
        QVERIFY2(ReadAll(Log()).contains("\r\nIf-modified-since: "), ReadAll(Log()).constData());
    }

    void RequestSentAsHttp10WithAHostLine()
    {
        QFile::remove(Log());
        // The file does not exist there; only what was asked for counts here.
        QVERIFY(!Fetch(FScripted.Url(QStringLiteral("/plain/d/my%20solo.vrn?x=1#top"))).Result.Ok);
        const QByteArray expected = "GET /plain/d/my%20solo.vrn?x=1 HTTP/1.0\r\nHost: 127.0.0.1:"
            + QByteArray::number(FScripted.Port())
            + "\r\nUser-Agent: HttpXfer/1.1\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n\r\n----\n";
        QCOMPARE(ReadAll(Log()), expected);
    }

    void TruncatedReplyKeepsTheCachedCopy()
    {
        QVERIFY(Fetch(FScripted.Url(QStringLiteral("/plain/d/coast.cht"))).Result.Ok);
        const TFetchRun cut = Fetch(FScripted.Url(QStringLiteral("/truncated/d/coast.cht")));
        QCOMPARE(cut.Result.Reason, QStringLiteral("Arquivo truncado"));
        QCOMPARE(ReadAll(Cache() + "/coast.cht"), kChart);
        QCOMPARE(CacheFiles(), QStringList {"coast.cht"});
    }

    void UnusableFetchedFileLeavesTheCache()
    {
        // A good copy first, then garbage under the same name from the same URL's server.
        WriteFile(FRoot.filePath(QStringLiteral("swap/g.vrn")), kSolo);
        QVERIFY(Fetch(FScripted.Url(QStringLiteral("/plain/swap/g.vrn"))).Result.Ok);
        WriteFile(FRoot.filePath(QStringLiteral("swap/g.vrn")), QByteArray("\0\1\2garbage", 10));
        const TFetchRun bad = Fetch(FScripted.Url(QStringLiteral("/plain/swap/g.vrn")));
        QVERIFY(!bad.Result.Ok);
        QVERIFY2(bad.Result.Reason.endsWith(QLatin1String("g.vrn is not a chart file")),
            qPrintable(bad.Result.Reason));
        QCOMPARE(CacheFiles(), QStringList());
    }

    void ConnectionFailures_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("reason");
        QTest::addRow("refused") << QStringLiteral("http://127.0.0.1:%1/x.cht").arg(ClosedPort())
                                 << "Connection to host 127.0.0.1 failed: Connection refused";
        QTest::addRow("unknown host") << "http://nohost.invalid/x.cht"
                                      << "Host nohost.invalid não encontrado";
        QTest::addRow("https, untrusted") << "https://127.0.0.1:%TLS/plain/d/coast.cht"
                                          << "Security error: ";
        QTest::addRow("https, another name") << "https://localhost:%TLS/plain/d/coast.cht"
                                             << "Security error: ";
    }

    void ConnectionFailures()
    {
        QFETCH(QString, location);
        QFETCH(QString, reason);
        location.replace(QLatin1String("%TLS"), QString::number(FTls.Port()));
        const QString ca = FPki.filePath(QStringLiteral("cert.pem"));
        const TFetchRun run = Fetch(location, [&](TTCPCli &client, THttpXfer &, TWebChartFetch &) {
            if (QTest::currentDataTag() == QLatin1String("https, another name"))
                client.ExtraCaCertificates = QSslCertificate::fromPath(ca);
        });
        QCOMPARE(run.Finished, 1);
        QVERIFY(!run.Result.Ok);
        QVERIFY2(run.Result.Reason.startsWith(reason), qPrintable(run.Result.Reason));
        QCOMPARE(run.Statuses.last(), run.Result.Reason);
        QCOMPARE(CacheFiles(), QStringList());
    }

    void ServerThatNeverAnswersTimesOut()
    {
        const TFetchRun run = Fetch(FScripted.Url(QStringLiteral("/silent/x.cht")),
            [](TTCPCli &, THttpXfer &xfer, TWebChartFetch &) { xfer.IdleTimeOutSecs = 2; });
        QCOMPARE(run.Finished, 1);
        QCOMPARE(run.Result.Reason, QStringLiteral("No data from host 127.0.0.1 for 2 s"));
        QCOMPARE(run.Statuses.last(), run.Result.Reason);
    }

    void WholeFetchIsBounded()
    {
        // One byte a second keeps the idle time-out away; the bound of the whole fetch ends it.
        const TFetchRun run = Fetch(FScripted.Url(QStringLiteral("/drip/d/coast.cht")),
            [](TTCPCli &, THttpXfer &, TWebChartFetch &fetch) { fetch.TotalTimeOutMs = 2500; });
        QCOMPARE(run.Result.Reason, QStringLiteral("Timed out after 2.5 s"));
        QCOMPARE(CacheFiles(), QStringList());
    }

    void StopEndsTheTransferOnce()
    {
        TFetchRun run;
        TTCPCli client;
        THttpXfer xfer;
        xfer.SetTCPCli(&client);
        xfer.Beep = [&run] { ++run.Beeps; };
        TWebChartFetch fetch(xfer, Cache());
        fetch.OnStatus = [&](const QString &m) {
            run.Statuses << m;
            if (m.startsWith(QLatin1String("Transferindo")))
                fetch.Stop(); // as "Stop download" does, from within the transfer's events
        };
        fetch.OnFinished = [&](const TWebFetchResult &r) {
            run.Result = r;
            ++run.Finished;
        };
        QVERIFY(fetch.Fetch(FScripted.Url(QStringLiteral("/silent/x.cht"))));
        QVERIFY(QTest::qWaitFor([&] { return run.Finished > 0; }, 60000));
        QCoreApplication::processEvents();
        QCOMPARE(run.Finished, 1);
        QCOMPARE(run.Beeps, 1);
        QCOMPARE(run.Result.Reason, QStringLiteral("Transferência interrompida"));
        QCOMPARE(xfer.Status(), 0);
        QVERIFY(!xfer.Transferring());
        // A fetch asked for while one runs stops it and starts nothing.
        QVERIFY(fetch.Fetch(FScripted.Url(QStringLiteral("/silent/y.cht"))));
        QVERIFY(!fetch.Fetch(FScripted.Url(QStringLiteral("/plain/d/coast.cht"))));
        QVERIFY(fetch.RefusedReason().isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return run.Finished > 1; }, 60000));
        QCOMPARE(run.Result.Reason, QStringLiteral("Transferência interrompida"));
        QCOMPARE(CacheFiles(), QStringList());
    }

    void LargeBodyInBoundedMemory()
    {
        // 50 MB straight to the file: the process grows by far less than the body.
        const auto rssKiB = [] {
            QFile status(QStringLiteral("/proc/self/status"));
            status.open(QIODevice::ReadOnly);
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:"))
                    return line.mid(6).trimmed().split(' ').front().toLongLong();
            return 0LL;
        };
        const long long before = rssKiB();
        long long peak = before;
        TTCPCli client;
        THttpXfer xfer;
        xfer.SetTCPCli(&client);
        xfer.LocalFileName = FWork->filePath(QStringLiteral("big.cht"));
        QList<int> perc;
        xfer.OnProgressMsg = [&](QObject *, int p, qint64) {
            perc << p;
            peak = std::max(peak, rssKiB());
        };
        int status = -99;
        xfer.OnComplete = [&](QObject *, int s) { status = s; };
        QVERIFY(xfer.SetURL(FScripted.Url(QStringLiteral("/big-50/big.cht"))));
        xfer.Get();
        QVERIFY(QTest::qWaitFor([&] { return status != -99; }, 120000));
        QCOMPARE(status, 200);
        QCOMPARE(xfer.StatusText(), QStringLiteral("Ok"));
        QCOMPARE(QFileInfo(xfer.LocalFileName).size(), 50LL << 20);
        QCOMPARE(xfer.BodyReceived(), 50LL << 20);
        QCOMPARE(perc.last(), 100);
        QVERIFY(std::is_sorted(perc.begin(), perc.end()));
        QVERIFY2(peak - before < 16 * 1024,
            qPrintable(QStringLiteral("grew by %1 KiB").arg(peak - before)));
        QFile::remove(xfer.LocalFileName);
    }

    // vrncli fetch as a script runs it: arguments, the two output streams, the exit status.
    void VrncliFetch_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("lastErr");

        QTest::addRow("desktop and chart") << QStringList {"%PY/d/desk.vrn"} << 0
                                           << "fetched\t%C/desk.vrn\nfetched\t%C/coast.cht\n"
                                           << "Ok";
        QTest::addRow("https with its CA") << QStringList {"%TLS/plain/d/coast.cht", "--ca", "%CA"}
                                           << 0 << "fetched\t%C/coast.cht\n"
                                           << "Ok";
        QTest::addRow("https without its CA") << QStringList {"%TLS/plain/d/coast.cht"} << 1 << ""
                                              << "vrncli fetch: Security error: ";
        QTest::addRow("404") << QStringList {"%PY/d/none.cht"} << 1 << ""
                             << "vrncli fetch: 404 Arquivo não encontrado";
        QTest::addRow("chart of the desktop missing")
            << QStringList {"%SC/plain/d/missing.vrn"} << 1 << "fetched\t%C/missing.vrn\n"
            << "vrncli fetch: 404 Arquivo não encontrado";
        QTest::addRow("dripping server, whole fetch bounded")
            << QStringList {"%SC/drip/d/coast.cht", "--timeout", "2"} << 1 << ""
            << "vrncli fetch: Timed out after 2 s";
        QTest::addRow("refused location")
            << QStringList {"ftp://h/x.cht"} << 2 << ""
            << "vrncli fetch: Location refused: mail and ftp addresses are not fetched";
        QTest::addRow("no desktop or chart")
            << QStringList {"%PY/d/readme.txt"} << 2 << ""
            << "vrncli fetch: Location refused: it names no desktop (.vrn) or chart (.cht)";
        QTest::addRow("bad timeout") << QStringList {"%PY/d/desk.vrn", "--timeout", "0"} << 2 << ""
                                     << "vrncli fetch: invalid --timeout \"0\" (seconds, 0 < S <= "
                                        "86400) (try vrncli fetch --help)";
        QTest::addRow("timeout not a number")
            << QStringList {"%PY/d/desk.vrn", "--timeout", "nan"} << 2 << ""
            << "vrncli fetch: invalid --timeout \"nan\" (seconds, 0 < S <= 86400) (try vrncli "
               "fetch --help)";
        QTest::addRow("unreadable CA")
            << QStringList {"%PY/d/desk.vrn", "--ca", "%C/none.pem"} << 2 << ""
            << "vrncli fetch: cannot read the certificate file %C/none.pem";
        QTest::addRow("missing location")
            << QStringList {"--cache", "x"} << 2 << ""
            << "vrncli fetch: missing location (try vrncli fetch --help)";
    }

    void VrncliFetch()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, out);
        QFETCH(QString, lastErr);
        const auto fill = [&](QString s) {
            s.replace(QLatin1String("%PY"), FPython.Url(QString()));
            s.replace(QLatin1String("%SC"), FScripted.Url(QString()));
            s.replace(
                QLatin1String("%TLS"), QStringLiteral("https://127.0.0.1:%1").arg(FTls.Port()));
            s.replace(QLatin1String("%CA"), FPki.filePath(QStringLiteral("cert.pem")));
            s.replace(QLatin1String("%C"), Cache());
            return s;
        };
        QStringList argv {QStringLiteral("fetch")};
        for (const QString &a : args)
            argv << fill(a);
        if (!args.contains(QStringLiteral("--cache")))
            argv << QStringLiteral("--cache") << Cache();
        QProcess cli;
        cli.start(QStringLiteral(VRNCLI_EXE), argv);
        QVERIFY(cli.waitForFinished(120000));
        const QString stdOut = QString::fromUtf8(cli.readAllStandardOutput());
        const QStringList errLines =
            QString::fromUtf8(cli.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), exit);
        QCOMPARE(stdOut, fill(out));
        QVERIFY(!errLines.isEmpty());
        QVERIFY2(errLines.last().startsWith(fill(lastErr)), qPrintable(errLines.last()));
        if (exit == 0)
            QVERIFY(errLines.contains(QStringLiteral("Contactando host 127.0.0.1")));
        if (QFileInfo(Cache()).isDir())
            QVERIFY(QDir(Cache()).removeRecursively());
    }

    void VrncliFetchRevalidates()
    {
        QProcess cli;
        const QStringList argv {QStringLiteral("fetch"), FPython.Url(QStringLiteral("/d/desk.vrn")),
            QStringLiteral("--cache"), Cache()};
        cli.start(QStringLiteral(VRNCLI_EXE), argv);
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);
        cli.start(QStringLiteral(VRNCLI_EXE), argv);
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()),
            QStringLiteral("cached\t%1/desk.vrn\ncached\t%1/coast.cht\n").arg(Cache()));
    }

    // The client alone: its events in order through one exchange, with the host looked up
    // both ways.
    void ClientEventsThroughOneExchange_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("async");
        QTest::addColumn<QList<int>>("statuses");
        QTest::addRow("address") << "127.0.0.1" << true << QList<int> {0, 2, 3, 4};
        QTest::addRow("name, looked up in the background")
            << "localhost" << true << QList<int> {0, 2, 3, 4};
        QTest::addRow("name, looked up at once") << "localhost" << false << QList<int> {0, 2, 3, 4};
    }

    void ClientEventsThroughOneExchange()
    {
        QFETCH(QString, host);
        QFETCH(bool, async);
        QFETCH(QList<int>, statuses);
        TTCPCli client;
        client.RemoteHostName = host;
        client.ServerPort = static_cast<quint16>(FScripted.Port());
        client.UsaDNSAssincrono = async;
        QList<int> seen;
        QStringList events;
        QByteArray reply;
        client.OnConnectStatus = [&](QObject *, int s) { seen << s; };
        client.OnConnect = [&](QObject *) { events << "connect"; };
        client.OnReadyToSendData = [&](QObject *) {
            events << "ready";
            const QByteArray request = "GET /plain/d/solo.vrn HTTP/1.0\r\n\r\n";
            QCOMPARE(client.Send(request.constData(), request.size()), qint64(request.size()));
        };
        client.OnDataReceived = [&](QObject *) {
            char buffer[100];
            for (qint64 n; (n = client.Receive(buffer, sizeof buffer)) > 0;)
                reply.append(buffer, n);
        };
        client.OnCloseSocket = [&](QObject *) { events << "close"; };
        QCOMPARE(client.TcpState(), TTcpCmpState::IDLE);
        QVERIFY(client.Connect());
        QVERIFY(!client.Connect()); // one connection at a time
        QVERIFY(QTest::qWaitFor([&] { return events.contains("close"); }, 60000));
        QCOMPARE(seen, statuses);
        QCOMPARE(events, (QStringList {"connect", "ready", "close"}));
        QCOMPARE(client.TcpState(), TTcpCmpState::WSASTARTED);
        QVERIFY(reply.endsWith(kSolo));
        char buffer[10];
        QCOMPARE(client.Receive(buffer, sizeof buffer), qint64(0));
        QCOMPARE(client.Send("x", 1), qint64(0));
    }

    void ClientDisconnectCancelsTheLookup()
    {
        TTCPCli client;
        client.RemoteHostName = QStringLiteral("chart-server.invalid");
        client.ServerPort = 80;
        QList<int> seen;
        int closes = 0;
        client.OnConnectStatus = [&](QObject *, int s) { seen << s; };
        client.OnCloseSocket = [&](QObject *) { ++closes; };
        QVERIFY(client.Connect());
        QVERIFY(client.LookupPending());
        client.Disconnect();
        QVERIFY(!client.LookupPending());
        QCOMPARE(closes, 1);
        // The answer of the abandoned lookup is dropped: no "not found" after the stop.
        QTest::qWait(100);
        QCOMPARE(seen, QList<int> {0});
        // An empty host is refused before anything starts.
        client.RemoteHostName.clear();
        QVERIFY_THROWS_EXCEPTION(EVrnError, client.Connect());
    }

    // Without --cache the cache folder is the one of vrn32.ini, or the user's cache folder.
    void VrncliFetchDefaultCacheFolder()
    {
        const QString config = FWork->filePath(QStringLiteral("config"));
        const QString userCache = FWork->filePath(QStringLiteral("user-cache"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_CACHE_HOME"), userCache);
        const auto run = [&] {
            QProcess cli;
            cli.setProcessEnvironment(env);
            cli.start(QStringLiteral(VRNCLI_EXE),
                {QStringLiteral("fetch"), FPython.Url(QStringLiteral("/d/coast.cht"))});
            cli.waitForFinished(120000);
            return QString::fromUtf8(cli.readAllStandardOutput());
        };
        QCOMPARE(run(), QStringLiteral("fetched\t%1/Pelvarq/Varunel/coast.cht\n").arg(userCache));
        WriteFile(
            config + "/Pelvarq/Varunel/vrn32.ini", "[Cache]\nPath=" + Cache().toUtf8() + "\n");
        QCOMPARE(run(), QStringLiteral("fetched\t%1/coast.cht\n").arg(Cache()));
        QVERIFY(QDir(config).removeRecursively());
        QVERIFY(QDir(userCache).removeRecursively());
    }

    void CacheFolderThatCannotBeCreated()
    {
        WriteFile(Cache(), "a file where the cache folder should be");
        const TFetchRun run = Fetch(FScripted.Url(QStringLiteral("/plain/d/coast.cht")));
        QCOMPARE(run.Finished, 1);
        QVERIFY2(run.Result.Reason.startsWith(
                     QStringLiteral("Cannot create the cache folder ") + Cache()),
            qPrintable(run.Result.Reason));
        QFile::remove(Cache());
    }
};

QTEST_GUILESS_MAIN(TTransferTest)
#include "TransferTest.moc"
