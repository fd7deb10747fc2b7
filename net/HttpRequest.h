#pragma once

// What the transfer sends and the texts it reports: the request of one HTTP/1.0 GET, the dates
// of If-modified-since and Last-Modified, and the status texts the user sees.

#include "net/HttpLocation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// The request header lines in the order sent: method + " " + encoded URI + " HTTP/1.0", the
// "Host" line, "User-Agent: HttpXfer/1.1", the "Accept" line, then extraLines. No line is cut;
// empty extra lines and lines holding control characters (a CR or LF would start a line of
// their own choosing) are left out.
std::vector<std::string> RequestLines(std::string_view method, const THttpLocation &location,
    const std::vector<std::string> &extraLines);

// The lines as sent: each followed by CR LF, then one more CR LF.
std::string RequestBytes(const std::vector<std::string> &lines);

// RFC 1123 date of a UTC instant in seconds since 1970: "Sun, 06 Nov 1994 08:49:37 GMT",
// English names whatever the locale.
std::string HttpDate(std::int64_t unixSeconds);

// Reads the three date forms HTTP/1.1 servers may send (RFC 1123, RFC 850 with a two-digit
// year, C asctime); none for anything else.
std::optional<std::int64_t> ParseHttpDate(std::string_view text);

// The status text of a finished transfer: "Ok" for 200 (given a complete body), the code and
// its Portuguese text for the other codes the viewer knows, "Transferência interrompida" for 0,
// "Arquivo truncado" for -1, empty for any other code.
std::string StatusText(int status);

} // namespace vrn
