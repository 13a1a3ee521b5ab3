#include "transfer/piece_stream.h"

#include <algorithm>

namespace upd {

bool PieceStream::push(const char* data, qsizetype size) {
    if (!carry_.isEmpty()) {
        const qsizetype fill = std::min(size, ChunkSize - carry_.size());
        carry_.append(data, fill);
        data += fill;
        size -= fill;
        if (carry_.size() < ChunkSize)
            return true;
        if (!handler_(carry_.constData(), ChunkSize))
            return false;
        carry_.clear();
    }
    // Whole pieces straight from the block, without copying.
    for (; size >= ChunkSize; data += ChunkSize, size -= ChunkSize) {
        if (!handler_(data, ChunkSize))
            return false;
    }
    carry_.append(data, size);
    return true;
}

bool PieceStream::finish() {
    if (!carry_.isEmpty()) {
        const QByteArray rest = std::exchange(carry_, {});
        if (!handler_(rest.constData(), rest.size()))
            return false;
    }
    return handler_(nullptr, 0);
}

} // namespace upd
