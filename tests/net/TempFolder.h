#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace vrn {

// A fresh folder under the system's temporary folder, removed with what it holds.
class TTempFolder
{
public:
    TTempFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "vrn-net-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        FPath = name;
    }

    ~TTempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }

    TTempFolder(const TTempFolder &) = delete;
    TTempFolder &operator=(const TTempFolder &) = delete;

    const std::filesystem::path &Path() const { return FPath; }

    std::filesystem::path Write(const std::string &name, std::string_view bytes) const
    {
        const auto p = FPath / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

private:
    std::filesystem::path FPath;
};

} // namespace vrn
