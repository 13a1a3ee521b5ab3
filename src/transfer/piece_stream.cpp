#include "transfer/piece_stream.h"

namespace upd {

bool PieceStream::push(const char* data, qsizetype size) {
    const qsizetype whole = (held_.size() + size) / ChunkSize * ChunkSize;
    if (whole == 0) {
        held_.append(data, size);
        return true;
    }
    const qsizetype fresh = whole - held_.size();
    if (!handler_(held_, QByteArrayView(data, fresh)))
        return false;
    held_.resize(0); // keeps the buffer for the next unfinished piece
    held_.append(data + fresh, size - fresh);
    return true;
}

bool PieceStream::finish() {
    if (!held_.isEmpty()) {
        const QByteArray rest = std::exchange(held_, {});
        if (!handler_(rest, {}))
            return false;
    }
    return handler_({}, {});
}

} // namespace upd
