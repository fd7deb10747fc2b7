// libFuzzer targets of the two text readers: chart files (".cht") and chart image data files
// (".CID"). Any bytes must give objects and messages or an EVrnError, never a crash or a hang.
// Built by tests/fuzz/build.sh with -DVRN_FUZZ_CHT or -DVRN_FUZZ_CID.

#include "charts/ChtFile.h"
#include "charts/ImgCarta.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
#if defined(VRN_FUZZ_CHT)
    try {
        // Relative names in the file resolve against a folder without chart data.
        const auto contents =
            vrn::ReadObjects(vrn::DecodeTextFile(bytes, vrn::kChartLineBytes), "/nonexistent");
        for (const auto &o : contents.Objects)
            vrn::ObjectLines(*o);
    } catch (const vrn::EVrnError &) { }
#else
    // The reader takes a file name: the input goes to a scratch file beside the test pictures
    // (VRN_FUZZ_DIR), so that a picture name of the input can meet a real picture.
    static const std::string path =
        std::string(std::getenv("VRN_FUZZ_DIR") ? std::getenv("VRN_FUZZ_DIR") : "/tmp") + "/fuzz-"
        + std::to_string(::getpid()) + ".CID";
    if (std::FILE *f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    try {
        vrn::TImagemCarta image;
        image.DeferredLoad = true;
        image.LoadFromCID(path);
        double lat = 0, lon = 0, x = 0, y = 0;
        image.Screen2World(10, 10, lat, lon);
        image.World2Screen(lat, lon, x, y);
    } catch (const vrn::EVrnError &) { }
#endif
    return 0;
}
