#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>

namespace upd {

// The unit of progress and cancellation of a single-file transfer.
inline constexpr qsizetype ChunkSize = 512;

// Hands the blocks that the network delivers on in pieces of ChunkSize bytes, as the transfer
// loop reads them: full pieces while data flows, then the short rest and the empty read that ends
// the transfer. A piece handler that answers false stops the stream.
class PieceStream {
public:
    using PieceHandler = std::function<bool(const char* data, qsizetype size)>;

    explicit PieceStream(PieceHandler handler) : handler_(std::move(handler)) {}

    // False when the handler stopped the stream.
    bool push(const char* data, qsizetype size);
    // The rest (when there is one) and the final empty piece.
    bool finish();

private:
    PieceHandler handler_;
    QByteArray carry_;
};

} // namespace upd
