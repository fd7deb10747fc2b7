#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace vrn::cli {

// Exit statuses of every command: 0 success, 1 failure of the work itself (a file that cannot be
// written), 2 bad input (unknown option, malformed value, unknown body).
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadInput = 2;

struct TStreams
{
    std::istream &In;
    std::ostream &Out;
    std::ostream &Err;
};

using TCommandFn = int (*)(std::span<const std::string> args, TStreams io);

struct TCommand
{
    std::string_view Name;
    std::string_view Summary; // one line for "vrncli --help"
    std::string_view Usage; // the text of "vrncli <command> --help"
    TCommandFn Run;
};

// Every command of the tool, in the order "--help" lists them.
std::span<const TCommand> Commands();

} // namespace vrn::cli
