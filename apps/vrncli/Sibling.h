#pragma once

#include <iosfwd>

namespace vrn::cli {

// Runs vrncli-gui, found beside this program, in this process's place with the same arguments
// (argv as main received it). Returns only when it cannot: then it has said why on err and the
// result is the failure status.
int ExecGuiSibling(char **argv, std::ostream &err);

} // namespace vrn::cli
