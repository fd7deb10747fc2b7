#include "apps/vrncli/CliCommand.h"
#include "apps/vrncli/Sibling.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

using namespace vrn::cli;

static void PrintHelp(std::ostream &out)
{
    out << "vrncli - the Varunel navigation engine on the command line\n\n"
           "Usage: vrncli <command> [options]\n"
           "       vrncli <command> --help\n\n"
           "Conventions: angles are degrees; latitudes are north positive and longitudes WEST\n"
           "positive (east negative), as everywhere in Varunel. Times are UTC.\n\n"
           "Commands:\n";
    for (const auto &c : Commands())
        out << "  " << c.Name << std::string(c.Name.size() < 10 ? 10 - c.Name.size() : 1, ' ')
            << c.Summary << '\n';
}

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(std::cout);
        return args.empty() ? kExitBadInput : kExitOk;
    }
    for (const auto &c : Commands()) {
        if (c.Name != args[0])
            continue;
        if (c.Run == nullptr)
            return ExecGuiSibling(argv, std::cerr);
        const std::span<const std::string> rest(args.data() + 1, args.size() - 1);
        for (const auto &a : rest) {
            if (a == "--help" || a == "-h") {
                std::cout << c.Usage;
                return kExitOk;
            }
        }
        try {
            return c.Run(rest, TStreams {std::cin, std::cout, std::cerr});
        } catch (const std::exception &e) {
            std::cerr << "vrncli " << c.Name << ": " << e.what() << '\n';
            return kExitFailure;
        }
    }
    std::cerr << "vrncli: unknown command \"" << args[0] << "\" (try vrncli --help)\n";
    return kExitBadInput;
}
