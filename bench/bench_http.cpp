// Web chart transfer: a body of 10 MB and of 50 MB from a loopback server into the cache folder
// through THttpXfer (socket events, body written to a temporary file, flushed to the disk and
// renamed over the cached copy). The server is a thread of this process that answers from one
// memory block, so that it is never the bottleneck. Throughput is bytes_per_second; the growth
// of the resident set during a transfer (sampled once a megabyte) is "rss_growth_KiB",
// which must not grow with the body. BM_PlainSocketIntoFile reads the same body with blocking
// system calls, as the ceiling of the machine at the time of the run.

#include "bench/QtBenchMain.h"
#include "net/SockCmp.h"
#include "net/httpxfer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vrn;

namespace {

// Answers every GET with a body of the size the path asks for ("/<bytes>/x.cht").
class TBodyServer
{
public:
    TBodyServer()
        : FBlock(1 << 20, ';')
    {
        FListener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (FListener < 0 || ::bind(FListener, reinterpret_cast<sockaddr *>(&addr), len) != 0
            || ::listen(FListener, 4) != 0
            || ::getsockname(FListener, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
            std::perror("bench_http: loopback server");
            std::exit(1);
        }
        FPort = ntohs(addr.sin_port);
        FThread = std::thread([this] { Serve(); });
    }

    ~TBodyServer()
    {
        FStop = true;
        ::shutdown(FListener, SHUT_RDWR);
        ::close(FListener);
        FThread.join();
    }

    int Port() const { return FPort; }

private:
    void Serve()
    {
        while (!FStop) {
            const int conn = ::accept(FListener, nullptr, nullptr);
            if (conn < 0)
                return;
            char request[4096];
            std::string got;
            while (got.find("\r\n\r\n") == std::string::npos && got.size() < 65536) {
                const ssize_t n = ::recv(conn, request, sizeof request, 0);
                if (n <= 0)
                    break;
                got.append(request, static_cast<std::size_t>(n));
            }
            const long long size = std::atoll(got.c_str() + std::min<std::size_t>(got.size(), 5));
            const std::string header =
                "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n";
            bool ok = ::send(conn, header.data(), header.size(), MSG_NOSIGNAL) > 0;
            for (long long left = size; ok && left > 0;) {
                const auto n = static_cast<std::size_t>(
                    std::min<long long>(left, static_cast<long long>(FBlock.size())));
                const ssize_t sent = ::send(conn, FBlock.data(), n, MSG_NOSIGNAL);
                ok = sent > 0;
                left -= sent;
            }
            ::close(conn);
        }
    }

    std::string FBlock;
    int FListener = -1;
    int FPort = 0;
    std::atomic<bool> FStop {false};
    std::thread FThread;
};

long long RssKiB()
{
    std::FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    char line[256];
    long long kib = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %lld", &kib) == 1)
            break;
    std::fclose(f);
    return kib;
}

void BM_FetchIntoCache(benchmark::State &state)
{
    static TBodyServer server;
    const long long size = state.range(0) << 20;
    QTemporaryDir cache;
    TTCPCli client;
    THttpXfer xfer;
    xfer.SetTCPCli(&client);
    long long growth = 0;
    for (auto _ : state) {
        const long long before = RssKiB();
        long long peak = before;
        xfer.LocalFileName = cache.filePath(QStringLiteral("big.cht"));
        qint64 nextSample = 0;
        xfer.OnProgressMsg = [&](QObject *, int, qint64 bytes) {
            if (bytes >= nextSample) { // once a megabyte: the sampling itself costs time
                peak = std::max(peak, RssKiB());
                nextSample = bytes + (1 << 20);
            }
        };
        QEventLoop loop;
        int status = 0;
        xfer.OnComplete = [&](QObject *, int s) {
            status = s;
            loop.quit();
        };
        xfer.SetURL(QStringLiteral("http://127.0.0.1:%1/%2/big.cht").arg(server.Port()).arg(size));
        xfer.Get();
        loop.exec();
        if (status != 200 || xfer.BodyReceived() != size) {
            state.SkipWithError(qPrintable(xfer.StatusText()));
            return;
        }
        growth = std::max(growth, peak - before);
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["rss_growth_KiB"] = static_cast<double>(growth);
}

// The same body read with blocking recv() into a file written with write(): what this machine
// gives at the moment, for comparison with the transfer (the machine is shared, and its load
// moves both figures together).
void BM_PlainSocketIntoFile(benchmark::State &state)
{
    static TBodyServer server;
    const long long size = state.range(0) << 20;
    QTemporaryDir cache;
    const std::string path = cache.filePath(QStringLiteral("big.cht")).toStdString();
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<uint16_t>(server.Port()));
        if (::connect(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
            state.SkipWithError("connect");
            return;
        }
        const std::string request = "GET /" + std::to_string(size) + "/big.cht HTTP/1.0\r\n\r\n";
        ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
        std::FILE *out = std::fopen(path.c_str(), "wb");
        long long got = 0;
        for (ssize_t n; (n = ::recv(s, buffer.data(), buffer.size(), 0)) > 0;) {
            std::fwrite(buffer.data(), 1, static_cast<std::size_t>(n), out);
            got += n;
        }
        std::fflush(out);
        ::fdatasync(::fileno(out));
        std::fclose(out);
        ::close(s);
        if (got < size) {
            state.SkipWithError("short body");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * size);
}

BENCHMARK(BM_FetchIntoCache)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainSocketIntoFile)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return vrn::RunQtBenchmarks<QCoreApplication>(argc, argv);
}
