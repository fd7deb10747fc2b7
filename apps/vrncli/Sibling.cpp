#include "apps/vrncli/Sibling.h"

#include "apps/vrncli/CliCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <system_error>
#include <unistd.h>

namespace vrn::cli {

int ExecGuiSibling(char **argv, std::ostream &err)
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        err << "vrncli: cannot find where vrncli is installed: " << ec.message() << '\n';
        return kExitFailure;
    }
    const std::filesystem::path sibling = self.parent_path() / "vrncli-gui";
    // Nothing written so far may be lost or doubled by the new program.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    ::execv(sibling.c_str(), argv);
    const int error = errno;
    err << "vrncli: this command needs " << sibling.string()
        << ", which cannot be run: " << std::strerror(error) << '\n';
    return kExitFailure;
}

} // namespace vrn::cli
