#pragma once

// Locations typed in the chart viewer or given to vrncli fetch: which server (scheme, host,
// port) and which path, resolved against the folder of the previous location so that a bare
// "other.cht" after "http://host/dir/a.vrn" names "http://host/dir/other.cht".

#include <optional>
#include <string>
#include <string_view>

namespace vrn {

enum class THttpScheme
{
    Http,
    Https, // TLS with verified certificates
};

// The transfer's idea of where it is: the server of the last location and that location's path
// and folder. Host is empty until a location names a server; there is no default server.
struct THttpLocation
{
    THttpScheme Scheme = THttpScheme::Http;
    std::string Host; // name, dotted IPv4 address or IPv6 address (without brackets)
    int Porta = 80;
    std::string URI = "/"; // path (and query) as sent, dot segments collapsed, no fragment
    std::string BaseDir; // folder of the last location, ending in "/", against which relative
                         // locations resolve

    bool operator==(const THttpLocation &) const = default;
};

// Longest location accepted; a longer text is refused rather than carried into requests.
constexpr std::size_t kMaxLocationBytes = 4096;

struct TLocationParse
{
    std::optional<THttpLocation> Location; // none when refused
    std::string Error; // why it was refused, for the status line
};

// Reads a location against the current one. "http://" and "https://" name a server (default
// ports 80 and 443, or ":port" with 1..65535 in digits; IPv6 addresses in brackets); "//host/..."
// names a server on the current scheme; anything else is a path on the current server, relative
// to its BaseDir unless it starts with "/". A "#" fragment is dropped and "." and ".." segments
// are collapsed (".." above the root stays at the root). The text keeps its case.
// Refused, with the reason: an empty or over-long text, control characters, "mailto:" or "ftp:"
// anywhere, any other scheme, user names in the server part, a bad host or port, and a path
// while no server was ever named.
TLocationParse ParseLocation(std::string_view text, const THttpLocation &current);

// "http://" + host + (":" + port unless 80) + URI, or "https://" + host + (":" + port unless
// 443) + URI; IPv6 hosts in brackets.
std::string LocationURL(const THttpLocation &location);

// The "Host" header value: host, with ":" + port when it is not the scheme's default.
std::string HostHeaderValue(const THttpLocation &location);

// The characters of uri after its last "/" (the whole text when it has none).
std::string LastPathSegment(std::string_view uri);

// RFC 3986 dot-segment removal on the path part of uri (the query is left alone):
// "/a/b/../c" gives "/a/c", "/a/./b" gives "/a/b", "/../x" gives "/x".
std::string CollapseDotSegments(std::string_view uri);

// The path for the request line: bytes outside the URI character set (blanks, non-ASCII UTF-8,
// quotes, "<>\^`{|}") percent-encoded; a "%" that does not start "%XX" is encoded as well, so
// that what was typed is what the server receives.
std::string EncodeRequestPath(std::string_view uri);

} // namespace vrn
