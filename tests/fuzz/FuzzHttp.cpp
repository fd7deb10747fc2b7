// libFuzzer target of what the web chart transfer reads from outside: the first line of the
// input is a location (as typed, or as a desktop's chart reference), the rest a server's reply,
// fed in reads whose sizes the input's bytes pick. Any bytes must give a location or a refusal
// and a reply read to an end or a failure, never a crash, a hang, a body past its announced
// length or a line past its bound. Built by tests/fuzz/build.sh.

#include "net/HttpLocation.h"
#include "net/HttpRequest.h"
#include "net/HttpResponse.h"
#include "net/WebCharts.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto eol = bytes.find('\n');
    const std::string_view location = bytes.substr(0, eol);
    const std::string_view reply = eol == std::string_view::npos ? "" : bytes.substr(eol + 1);

    vrn::THttpLocation base;
    base.Host = "charts.example";
    base.BaseDir = "/d/";
    if (const auto parsed = vrn::ParseLocation(location, base); parsed.Location) {
        const auto &l = *parsed.Location;
        if (l.Host.empty() || l.URI.empty() || l.URI.front() != '/' || l.Porta < 1
            || l.Porta > 65535)
            std::abort();
        vrn::RequestBytes(vrn::RequestLines("GET", l, {}));
    }
    const std::string chartUri = vrn::ChartReferenceUri("/d/", location);
    if (chartUri.empty() || chartUri.front() != '/')
        std::abort();
    vrn::ParseHttpDate(location);

    vrn::THttpResponseReader reader(1 << 20);
    std::int64_t delivered = 0;
    const vrn::THttpBodySink sink = [&](std::string_view b) {
        delivered += static_cast<std::int64_t>(b.size());
        return true;
    };
    std::size_t pos = 0;
    for (std::size_t i = 0; pos < reply.size(); ++i) {
        const std::size_t step = 1 + static_cast<unsigned char>(reply[i % reply.size()]) % 97;
        reader.Feed(reply.substr(pos, step), sink);
        pos += step;
        if (reader.PendingHeaderLine().size() > vrn::kMaxHeaderLineBytes)
            std::abort();
    }
    reader.Close();
    if (delivered != reader.BodyReceived()
        || (reader.ContentLength() >= 0 && reader.BodyReceived() > reader.ContentLength()))
        std::abort();
    return 0;
}
