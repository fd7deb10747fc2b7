#include "net/HttpRequest.h"

#include "engine/DateTime.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace vrn {

namespace {

constexpr std::array<const char *, 7> kDays = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
constexpr std::array<const char *, 12> kMonths = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

bool HasControl(std::string_view line)
{
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    return false;
}

int MonthIndex(std::string_view name)
{
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (name == kMonths[i])
            return static_cast<int>(i) + 1;
    return 0;
}

std::optional<int> Digits(std::string_view text, std::size_t count)
{
    if (text.size() != count)
        return std::nullopt;
    int v = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<std::int64_t> FromParts(int year, int month, int day, std::string_view hms)
{
    if (hms.size() != 8 || hms[2] != ':' || hms[5] != ':')
        return std::nullopt;
    const auto h = Digits(hms.substr(0, 2), 2);
    const auto mi = Digits(hms.substr(3, 2), 2);
    const auto s = Digits(hms.substr(6, 2), 2);
    if (!h || !mi || !s || *h > 23 || *mi > 59 || *s > 60 || month < 1 || day < 1
        || day > DaysInMonth(year, month))
        return std::nullopt;
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400
        + *h * 3600 + *mi * 60 + *s;
}

std::vector<std::string_view> Words(std::string_view text, std::string_view separators)
{
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while ((pos = text.find_first_not_of(separators, pos)) != std::string_view::npos) {
        const auto end = text.find_first_of(separators, pos);
        words.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        pos = end;
    }
    return words;
}

} // namespace

std::vector<std::string> RequestLines(std::string_view method, const THttpLocation &location,
    const std::vector<std::string> &extraLines)
{
    std::vector<std::string> lines = {
        std::string(method) + " " + EncodeRequestPath(location.URI) + " HTTP/1.0",
        "Host: " + HostHeaderValue(location),
        "User-Agent: HttpXfer/1.1",
        "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*",
    };
    for (const std::string &line : extraLines)
        if (!line.empty() && !HasControl(line))
            lines.push_back(line);
    return lines;
}

std::string RequestBytes(const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes += line + "\r\n";
    return bytes + "\r\n";
}

std::string HttpDate(std::int64_t unixSeconds)
{
    const std::int64_t days = FloorDiv(unixSeconds, 86400);
    const std::int64_t secs = unixSeconds - days * 86400;
    // civil_from_days (H. Hinnant).
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02u %s %04lld %02d:%02d:%02d GMT",
        kDays[static_cast<std::size_t>(((days % 7) + 7) % 7)], d, kMonths[m - 1],
        static_cast<long long>(y), static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
        static_cast<int>(secs % 60));
    return text;
}

std::optional<std::int64_t> ParseHttpDate(std::string_view text)
{
    const auto w = Words(text, " ,");
    // RFC 1123: "Sun, 06 Nov 1994 08:49:37 GMT".
    if (w.size() == 6 && w[5] == "GMT") {
        const auto day = w[1].size() <= 2 ? Digits(w[1], w[1].size()) : std::nullopt;
        const auto year = Digits(w[3], 4);
        if (day && year)
            return FromParts(*year, MonthIndex(w[2]), *day, w[4]);
        return std::nullopt;
    }
    // RFC 850: "Sunday, 06-Nov-94 08:49:37 GMT"; two-digit years of 70 and above are 19xx.
    if (w.size() == 4 && w[3] == "GMT" && w[1].size() == 9 && w[1][2] == '-' && w[1][6] == '-') {
        const auto day = Digits(w[1].substr(0, 2), 2);
        const auto yy = Digits(w[1].substr(7, 2), 2);
        if (day && yy)
            return FromParts(
                *yy < 70 ? 2000 + *yy : 1900 + *yy, MonthIndex(w[1].substr(3, 3)), *day, w[2]);
        return std::nullopt;
    }
    // asctime: "Sun Nov  6 08:49:37 1994".
    if (w.size() == 5) {
        const auto day = w[2].size() <= 2 ? Digits(w[2], w[2].size()) : std::nullopt;
        const auto year = Digits(w[4], 4);
        if (day && year)
            return FromParts(*year, MonthIndex(w[1]), *day, w[3]);
    }
    return std::nullopt;
}

std::string StatusText(int status)
{
    switch (status) {
    case -1:
        return "Arquivo truncado";
    case 0:
        return "Transferência interrompida";
    case 200:
        return "Ok";
    case 204:
        return "204 Arquivo vazio";
    case 301:
        return "301 Movido Permanentemente";
    case 302:
        return "302 Movido Temporariamente";
    case 304:
        return "304 Não modificado";
    case 400:
        return "400 Pedido inválido";
    case 401:
        return "401 Não autorizado";
    case 403:
        return "403 Acesso negado";
    case 404:
        return "404 Arquivo não encontrado";
    case 405:
        return "405 Método inaceitável";
    case 406:
        return "406 Pedido inaceitável";
    case 407:
        return "407 Autenticação no Proxy necessária";
    case 408:
        return "408 Timpo limite esgotado";
    case 500:
        return "500 Erro interno no Servidor";
    case 501:
        return "501 Não implementado";
    case 502:
        return "502 Gateway inválido";
    case 503:
        return "503 Serviço não disponível";
    default:
        return {};
    }
}

} // namespace vrn
