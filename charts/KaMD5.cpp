#include "charts/KaMD5.h"

#include "charts/ChartPaths.h"
#include "engine/VrnError.h"

#include <cstdio>
#include <memory>
#include <openssl/evp.h>
#include <vector>

namespace vrn {

namespace {

struct TMdCtxFree
{
    void operator()(EVP_MD_CTX *c) const { EVP_MD_CTX_free(c); }
};

class TMd5
{
public:
    TMd5()
        : FCtx(EVP_MD_CTX_new())
    {
        if (!FCtx || EVP_DigestInit_ex(FCtx.get(), EVP_md5(), nullptr) != 1)
            throw EVrnError("MD5 is not available");
    }

    void Update(const void *data, std::size_t n)
    {
        if (n > 0 && EVP_DigestUpdate(FCtx.get(), data, n) != 1)
            throw EVrnError("MD5 computation failed");
    }

    std::string Hex()
    {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int len = 0;
        if (EVP_DigestFinal_ex(FCtx.get(), digest, &len) != 1)
            throw EVrnError("MD5 computation failed");
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string hex;
        for (unsigned int i = 0; i < len; ++i) {
            hex += kDigits[digest[i] >> 4];
            hex += kDigits[digest[i] & 15];
        }
        return hex;
    }

private:
    std::unique_ptr<EVP_MD_CTX, TMdCtxFree> FCtx;
};

} // namespace

std::string MD5OfBytes(std::span<const std::uint8_t> data)
{
    TMd5 md5;
    md5.Update(data.data(), data.size());
    return md5.Hex();
}

std::string MD5OfFile(const std::string &path)
{
    const TFilePtr f = OpenRegularFile(path);
    TMd5 md5;
    std::vector<unsigned char> buf(1 << 16);
    for (;;) {
        const std::size_t n = std::fread(buf.data(), 1, buf.size(), f.get());
        md5.Update(buf.data(), n);
        if (n < buf.size()) {
            if (std::ferror(f.get()))
                throw EVrnError("Read error in file \"" + path + "\"");
            break;
        }
    }
    return md5.Hex();
}

} // namespace vrn
