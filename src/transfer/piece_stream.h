#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <functional>

namespace upd {

// The unit of progress and cancellation of a single-file transfer.
inline constexpr qsizetype ChunkSize = 512;

// Cuts the blocks that the network delivers into pieces of ChunkSize bytes, as the transfer loop
// reads them, and hands them on a run at a time: all the whole pieces that a block completes in
// one call, then at the end the short rest and the empty read that ends the transfer. A run's
// bytes are the ones held back from earlier blocks (`held`) followed by the block's own
// (`fresh`), neither copied more than the few bytes of an unfinished piece. A run handler that
// answers false stops the stream.
class PieceStream {
public:
    using RunHandler = std::function<bool(QByteArrayView held, QByteArrayView fresh)>;

    explicit PieceStream(RunHandler handler) : handler_(std::move(handler)) {}

    // False when the handler stopped the stream.
    bool push(const char* data, qsizetype size);
    // The rest (when there is one) and the final empty run.
    bool finish();

private:
    RunHandler handler_;
    QByteArray held_; // fewer than ChunkSize bytes
};

} // namespace upd
