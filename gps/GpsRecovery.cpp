#include "gps/GpsRecovery.h"

#include "common/FileIO.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/VrnError.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace vrn {

TGpsRecoveryLog::TGpsRecoveryLog(std::filesystem::path path)
    : FPath(std::move(path))
{ }

void TGpsRecoveryLog::Append(
    const std::string &trackName, double latDeg, double lonDeg, double time)
{
    std::string line;
    for (const char c : trackName)
        line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    line += '\t' + FormatFixed(latDeg, 9) + '\t' + FormatFixed(lonDeg, 9) + '\t'
        + FormatFixed(time, 10) + '\n';

    const auto fail = [this](int error) {
        throw EVrnError("Cannot write the GPS recovery file " + FPath.string() + ": "
            + std::generic_category().message(error));
    };
    const int fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(errno);
    std::size_t done = 0;
    int error = 0;
    while (done < line.size()) {
        const auto n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    ::close(fd);
    if (error != 0)
        fail(error);
}

TRecoveryContents TGpsRecoveryLog::Read() const
{
    TRecoveryContents r;
    const auto file = ReadWholeFile(FPath, 64u << 20);
    if (!file.Found)
        return r;
    if (file.TooLarge || file.ReadError) {
        r.BadLines = 1;
        return r;
    }
    std::string_view rest = file.Bytes;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const bool ended = end != std::string_view::npos;
        std::string_view line = rest.substr(0, ended ? end : rest.size());
        rest.remove_prefix(ended ? end + 1 : rest.size());
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        // Name, latitude, longitude and time: exactly three tabs.
        std::string_view fields[4];
        std::size_t n = 0;
        for (std::size_t start = 0; n < 5; ++n) {
            const auto tab = line.find('\t', start);
            if (n < 4)
                fields[n] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
            if (tab == std::string_view::npos) {
                ++n;
                break;
            }
            start = tab + 1;
        }
        const auto lat = n == 4 ? ParseNumber(fields[1]) : std::nullopt;
        const auto lon = n == 4 ? ParseNumber(fields[2]) : std::nullopt;
        const auto time = n == 4 ? ParseNumber(fields[3]) : std::nullopt;
        // A line that was not ended was being written when the program stopped.
        if (!ended || !lat || !lon || !time || std::fabs(*lat) > 90 || std::fabs(*lon) > 180
            || !IsValidDateTime(*time)) {
            ++r.BadLines;
            continue;
        }
        r.Points.push_back({std::string(fields[0]), *lat, *lon, *time});
    }
    return r;
}

bool TGpsRecoveryLog::Clear()
{
    std::error_code ec;
    std::filesystem::remove(FPath, ec);
    return !ec;
}

} // namespace vrn
