#pragma once

// Background rendering of raster chart images. Each render runs in its own worker thread
// (TThreadZoomMaker) that waits briefly (so that quick re-zooms cancel it before it starts),
// waits while another render of the same picture runs, and resamples the visible part. The
// process-wide manager keeps the list of running makers under one mutex, hands each finished
// render to the main thread by a queued call, and reports the number of running makers.
//
// Lifetime: the manager is created at first use as a child of the application object and
// cancels and joins every maker before it goes; a maker holds a shared reference to its picture,
// so nothing it uses is freed under it.

#include "charts/ImgCarta.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vrn {

class TZoomMakerThreadManager;

class TThreadZoomMaker : public TRenderJob
{
public:
    TThreadZoomMaker(std::shared_ptr<TImagemCarta> image, TChtChartImage *chartImage,
        TZoomMakerThreadManager *manager);
    ~TThreadZoomMaker() override;

    // Copies the view and starts the thread.
    void Start(const TChartRect &view);
    void Cancel() override;
    void Detach() override;

    bool Cancelled() const { return FCancelled.load(); }

    TChtChartImage *ChartImage() const;

private:
    friend class TZoomMakerThreadManager;

    void Execute();

    std::shared_ptr<TImagemCarta> FImagem;
    mutable std::mutex FTargetMutex;
    TChtChartImage *FChartImage; // null once detached
    TZoomMakerThreadManager *FManager;
    TChartRect FViewRect;
    std::atomic<bool> FCancelled {false};
    std::optional<TRenderResult> FResult;
    std::string FError;
    std::thread FThread;
};

class TZoomMakerThreadManager : public QObject, public TRenderLauncher
{
    Q_OBJECT

public:
    // Created at first use; needs a QCoreApplication.
    static TZoomMakerThreadManager &Instance();
    // The manager if it exists (never creates it).
    static TZoomMakerThreadManager *Existing();

    ~TZoomMakerThreadManager() override;

    std::shared_ptr<TRenderJob> Start(std::shared_ptr<TImagemCarta> image, TChtChartImage *owner,
        const TChartRect &view) override;

    void Register(const std::shared_ptr<TThreadZoomMaker> &maker);
    void Unregister(const TThreadZoomMaker *maker);
    // Detaches (and cancels) every registered maker of that chart image.
    void ForgetImage(const TChtChartImage *chartImage);
    // Number of registered makers.
    int Count() const;
    // Cancels every maker and waits for their threads (program exit).
    void Shutdown();

signals:
    // The number of running makers changed (polled every 500 ms).
    void CountChanged(int count);
    // A render failed; the message is reported once, on the main thread.
    void RenderFailed(const QString &message);
    // A worker finished (emitted from the worker thread; queued to the main thread).
    void WorkerDone();

private:
    friend class TThreadZoomMaker;

    explicit TZoomMakerThreadManager(QObject *parent);
    // Worker thread: the maker is done; its completion runs on the main thread.
    void PostFinished(TThreadZoomMaker *maker);
    void DrainFinished();
    void Finish(TThreadZoomMaker *maker);
    void PollCount();

    mutable std::mutex FMutex;
    std::vector<std::shared_ptr<TThreadZoomMaker>> FMakers;
    std::vector<TThreadZoomMaker *> FDone; // finished, awaiting the main thread
    QTimer FTimer;
    int FLastCount = 0;
};

} // namespace vrn
