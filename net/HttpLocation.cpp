#include "net/HttpLocation.h"

#include <cctype>
#include <vector>

namespace vrn {

namespace {

std::string LowerAscii(std::string_view text)
{
    std::string s(text);
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && LowerAscii(text.substr(0, prefix.size())) == prefix;
}

int DefaultPort(THttpScheme scheme)
{
    return scheme == THttpScheme::Https ? 443 : 80;
}

TLocationParse Refused(std::string reason)
{
    return {std::nullopt, "Location refused: " + std::move(reason)};
}

// "scheme:" at the start of a text (RFC 3986: a letter, then letters, digits, "+", "-", ".").
bool HasScheme(std::string_view text)
{
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text.front())))
        return false;
    for (const char c : text) {
        if (c == ':')
            return true;
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return false;
}

bool IsHostNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool IsIPv6Char(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
}

struct TServer
{
    std::string Host;
    int Port = 0;
};

// Reads "host", "host:port", "[v6]" or "[v6]:port"; an empty port means the default.
std::optional<TServer> ReadServer(std::string_view authority, int defaultPort, std::string &error)
{
    if (authority.find('@') != std::string_view::npos) {
        error = "user names and passwords are not supported";
        return std::nullopt;
    }
    TServer server;
    std::string_view portText;
    bool hasPort = false;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) {
            error = "invalid server address";
            return std::nullopt;
        }
        server.Host = std::string(authority.substr(1, close - 1));
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                error = "invalid server address";
                return std::nullopt;
            }
            hasPort = true;
            portText = rest.substr(1);
        }
        if (server.Host.empty() || server.Host.find(':') == std::string::npos) {
            error = "invalid server address";
            return std::nullopt;
        }
        for (const char c : server.Host) {
            if (!IsIPv6Char(c)) {
                error = "invalid server address";
                return std::nullopt;
            }
        }
    } else {
        const auto colon = authority.find(':');
        server.Host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) {
            hasPort = true;
            portText = authority.substr(colon + 1);
        }
        if (server.Host.empty()) {
            error = "no server named";
            return std::nullopt;
        }
        if (server.Host.size() > 253) {
            error = "server name too long";
            return std::nullopt;
        }
        for (const char c : server.Host) {
            if (!IsHostNameChar(c)) {
                error = "invalid server name";
                return std::nullopt;
            }
        }
    }
    server.Port = defaultPort;
    if (hasPort && !portText.empty()) {
        long port = 0;
        for (const char c : portText) {
            if (!std::isdigit(static_cast<unsigned char>(c)) || portText.size() > 5) {
                error = "invalid port";
                return std::nullopt;
            }
            port = port * 10 + (c - '0');
        }
        if (port < 1 || port > 65535) {
            error = "invalid port";
            return std::nullopt;
        }
        server.Port = static_cast<int>(port);
    }
    return server;
}

std::string BracketedHost(const std::string &host)
{
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

} // namespace

TLocationParse ParseLocation(std::string_view text, const THttpLocation &current)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty())
        return Refused("no location given");
    if (text.size() > kMaxLocationBytes)
        return Refused("longer than " + std::to_string(kMaxLocationBytes) + " characters");
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f)
            return Refused("control characters in the location");
    }
    const std::string lower = LowerAscii(text);
    if (lower.find("mailto:") != std::string::npos || lower.find("ftp:") != std::string::npos)
        return Refused("mail and ftp addresses are not fetched");

    THttpLocation next = current;
    std::string_view rest = text;
    bool namesServer = false;
    THttpScheme scheme = current.Scheme;
    if (StartsWithNoCase(rest, "http:")) {
        scheme = THttpScheme::Http;
        rest.remove_prefix(5);
    } else if (StartsWithNoCase(rest, "https:")) {
        scheme = THttpScheme::Https;
        rest.remove_prefix(6);
    } else if (HasScheme(rest)) {
        return Refused("only http and https locations are fetched");
    }
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const auto end = rest.find_first_of("/?#");
        std::string error;
        const auto server = ReadServer(rest.substr(0, end), DefaultPort(scheme), error);
        if (!server)
            return Refused(error);
        next.Scheme = scheme;
        next.Host = server->Host;
        next.Porta = server->Port;
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        namesServer = true;
    } else if (rest.size() != text.size()) {
        return Refused("no server named after the scheme");
    }
    if (next.Host.empty())
        return Refused("no server named");

    std::string path(rest.substr(0, rest.find('#')));
    if (namesServer || next.BaseDir.empty())
        next.BaseDir = "/";
    if (path.empty() || path.front() != '/')
        path = next.BaseDir + path;
    const std::string_view folderPart = std::string_view(path).substr(0, path.find('?'));
    next.BaseDir = std::string(folderPart.substr(0, folderPart.rfind('/') + 1));
    next.URI = CollapseDotSegments(path);
    return {next, {}};
}

std::string LocationURL(const THttpLocation &location)
{
    const bool https = location.Scheme == THttpScheme::Https;
    std::string url = https ? "https://" : "http://";
    url += BracketedHost(location.Host);
    if (location.Porta != DefaultPort(location.Scheme))
        url += ":" + std::to_string(location.Porta);
    return url + location.URI;
}

std::string HostHeaderValue(const THttpLocation &location)
{
    std::string value = BracketedHost(location.Host);
    if (location.Porta != DefaultPort(location.Scheme))
        value += ":" + std::to_string(location.Porta);
    return value;
}

std::string LastPathSegment(std::string_view uri)
{
    const auto slash = uri.rfind('/');
    return std::string(slash == std::string_view::npos ? uri : uri.substr(slash + 1));
}

std::string CollapseDotSegments(std::string_view uri)
{
    const auto query = uri.find('?');
    std::string_view input = uri.substr(0, query);
    const std::string_view tail = query == std::string_view::npos ? "" : uri.substr(query);
    // RFC 3986, 5.2.4, on segments: "." vanishes, ".." removes the segment before it.
    const bool absolute = input.starts_with('/');
    if (absolute)
        input.remove_prefix(1);
    std::vector<std::string_view> segments;
    bool endsInFolder = input.empty();
    while (true) {
        const auto slash = input.find('/');
        const std::string_view seg = input.substr(0, slash);
        const bool last = slash == std::string_view::npos;
        if (seg == "..") {
            if (!segments.empty())
                segments.pop_back();
            endsInFolder = last;
        } else if (seg == ".") {
            endsInFolder = last;
        } else {
            segments.push_back(seg);
            endsInFolder = false;
        }
        if (last)
            break;
        input.remove_prefix(slash + 1);
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i > 0)
            out += '/';
        out += segments[i];
    }
    if (endsInFolder && !out.empty() && out.back() != '/')
        out += '/';
    return out + std::string(tail);
}

std::string EncodeRequestPath(std::string_view uri)
{
    static constexpr std::string_view kAllowed = "-._~!$&'()*+,;=:@/?";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(uri.size());
    for (std::size_t i = 0; i < uri.size(); ++i) {
        const auto u = static_cast<unsigned char>(uri[i]);
        const bool keep = std::isalnum(u)
            || kAllowed.find(static_cast<char>(u)) != std::string::npos
            || (u == '%' && i + 2 < uri.size()
                && std::isxdigit(static_cast<unsigned char>(uri[i + 1]))
                && std::isxdigit(static_cast<unsigned char>(uri[i + 2])));
        if (keep && u < 0x80) {
            out += static_cast<char>(u);
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

} // namespace vrn
