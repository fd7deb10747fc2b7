#include "charts/ZoomMaker.h"

#include <QCoreApplication>
#include <chrono>

namespace vrn {

namespace {

TZoomMakerThreadManager *gManager = nullptr;

// Delay before a render starts: a second zoom within it cancels the first before any work.
constexpr auto kStartDelay = std::chrono::milliseconds(200);
constexpr auto kBusyPoll = std::chrono::milliseconds(50);
constexpr auto kCancelPoll = std::chrono::milliseconds(10);

} // namespace

// ---- TThreadZoomMaker ----------------------------------------------------------------------

TThreadZoomMaker::TThreadZoomMaker(std::shared_ptr<TImagemCarta> image, TChtChartImage *chartImage,
    TZoomMakerThreadManager *manager)
    : FImagem(std::move(image))
    , FChartImage(chartImage)
    , FManager(manager)
{ }

TThreadZoomMaker::~TThreadZoomMaker()
{
    FCancelled = true;
    if (FThread.joinable())
        FThread.join();
}

void TThreadZoomMaker::Start(const TChartRect &view)
{
    FViewRect = view;
    FThread = std::thread([this] { Execute(); });
}

void TThreadZoomMaker::Cancel()
{
    if (!FCancelled.exchange(true))
        FImagem->Abort = true;
}

void TThreadZoomMaker::Detach()
{
    std::lock_guard lock(FTargetMutex);
    FChartImage = nullptr;
}

TChtChartImage *TThreadZoomMaker::ChartImage() const
{
    std::lock_guard lock(FTargetMutex);
    return FChartImage;
}

void TThreadZoomMaker::Execute()
{
    // Nothing may escape a worker thread: every failure becomes a message for the main thread.
    try {
        const auto until = std::chrono::steady_clock::now() + kStartDelay;
        while (!FCancelled && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(kCancelPoll);
        while (!FCancelled && FImagem->Busy())
            std::this_thread::sleep_for(kBusyPoll);
        if (!FCancelled)
            FResult = FImagem->RenderView(FViewRect, &FCancelled);
    } catch (const std::exception &e) {
        FError = e.what();
        FResult.reset();
    } catch (...) {
        FError = "Unknown error while rendering a chart image";
        FResult.reset();
    }
    FManager->PostFinished(this);
}

// ---- TZoomMakerThreadManager ---------------------------------------------------------------

TZoomMakerThreadManager &TZoomMakerThreadManager::Instance()
{
    if (!gManager)
        gManager = new TZoomMakerThreadManager(QCoreApplication::instance());
    return *gManager;
}

TZoomMakerThreadManager *TZoomMakerThreadManager::Existing()
{
    return gManager;
}

TZoomMakerThreadManager::TZoomMakerThreadManager(QObject *parent)
    : QObject(parent)
{
    FTimer.setInterval(500);
    connect(&FTimer, &QTimer::timeout, this, &TZoomMakerThreadManager::PollCount);
    connect(this, &TZoomMakerThreadManager::WorkerDone, this,
        &TZoomMakerThreadManager::DrainFinished, Qt::QueuedConnection);
    FTimer.start();
}

TZoomMakerThreadManager::~TZoomMakerThreadManager()
{
    Shutdown();
    if (gManager == this)
        gManager = nullptr;
}

void TZoomMakerThreadManager::Shutdown()
{
    std::vector<std::shared_ptr<TThreadZoomMaker>> makers;
    {
        std::lock_guard lock(FMutex);
        makers.swap(FMakers);
        FDone.clear();
    }
    for (auto &m : makers) {
        m->Detach();
        m->Cancel();
    }
    for (auto &m : makers)
        if (m->FThread.joinable())
            m->FThread.join();
}

std::shared_ptr<TRenderJob> TZoomMakerThreadManager::Start(
    std::shared_ptr<TImagemCarta> image, TChtChartImage *owner, const TChartRect &view)
{
    auto maker = std::make_shared<TThreadZoomMaker>(std::move(image), owner, this);
    Register(maker);
    maker->Start(view);
    return maker;
}

void TZoomMakerThreadManager::Register(const std::shared_ptr<TThreadZoomMaker> &maker)
{
    std::lock_guard lock(FMutex);
    FMakers.push_back(maker);
}

void TZoomMakerThreadManager::Unregister(const TThreadZoomMaker *maker)
{
    std::lock_guard lock(FMutex);
    std::erase_if(FMakers, [&](const auto &m) { return m.get() == maker; });
}

void TZoomMakerThreadManager::ForgetImage(const TChtChartImage *chartImage)
{
    std::vector<std::shared_ptr<TThreadZoomMaker>> forgotten;
    {
        std::lock_guard lock(FMutex);
        for (auto &m : FMakers)
            if (m->ChartImage() == chartImage)
                forgotten.push_back(m);
    }
    for (auto &m : forgotten) {
        m->Detach();
        m->Cancel();
    }
}

int TZoomMakerThreadManager::Count() const
{
    std::lock_guard lock(FMutex);
    return static_cast<int>(FMakers.size());
}

void TZoomMakerThreadManager::PostFinished(TThreadZoomMaker *maker)
{
    // The finished maker goes through the locked queue, and only a bare signal crosses to the
    // main thread (queued; dropped by Qt if the manager is gone, and the manager joins every
    // thread before it goes).
    {
        std::lock_guard lock(FMutex);
        FDone.push_back(maker);
    }
    emit WorkerDone();
}

void TZoomMakerThreadManager::DrainFinished()
{
    std::vector<TThreadZoomMaker *> done;
    {
        std::lock_guard lock(FMutex);
        done.swap(FDone);
    }
    for (TThreadZoomMaker *maker : done)
        Finish(maker);
}

void TZoomMakerThreadManager::Finish(TThreadZoomMaker *maker)
{
    std::shared_ptr<TThreadZoomMaker> keep;
    TChtChartImage *target = nullptr;
    {
        std::lock_guard lock(FMutex);
        for (auto &m : FMakers)
            if (m.get() == maker)
                keep = m;
        if (!keep)
            return; // already shut down
    }
    if (maker->FThread.joinable())
        maker->FThread.join();
    Unregister(maker);
    target = maker->ChartImage();
    if (!maker->FError.empty() && !maker->Cancelled())
        emit RenderFailed(QString::fromStdString(maker->FError));
    if (target) {
        std::optional<TRenderResult> result;
        if (!maker->Cancelled())
            result = std::move(maker->FResult);
        target->RenderFinished(maker, std::move(result));
    }
}

void TZoomMakerThreadManager::PollCount()
{
    const int n = Count();
    if (n != FLastCount) {
        FLastCount = n;
        emit CountChanged(n);
    }
}

} // namespace vrn
