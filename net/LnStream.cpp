#include "net/LnStream.h"

namespace vrn {

TLineStream::TResult TLineStream::Feed(std::string_view data, std::size_t &pos)
{
    while (pos < data.size()) {
        const char c = data[pos++];
        if (c == '\n') {
            FLine.swap(FPending);
            FPending.clear();
            return TResult::Line;
        }
        if (static_cast<unsigned char>(c) <= 30)
            continue;
        if (FPending.size() >= FMaxLineBytes)
            return TResult::TooLong;
        FPending += c;
    }
    return TResult::NeedMore;
}

void TLineStream::Clear()
{
    FPending.clear();
    FLine.clear();
}

} // namespace vrn
