// libFuzzer targets of the picture decoders: any bytes must give a picture or an EVrnError,
// never a crash, a hang or an abort. Built by tests/fuzz/build.sh with -DVRN_FUZZ_<KIND>.

#include "charts/PictureReaders.h"
#include "engine/VrnError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
#if defined(VRN_FUZZ_JPEG)
        vrn::DecodeJpeg({data, size});
#elif defined(VRN_FUZZ_GIF)
        vrn::DecodeGif({data, size});
#else
        vrn::DecodeBmp({data, size});
#endif
    } catch (const vrn::EVrnError &) { }
    return 0;
}
