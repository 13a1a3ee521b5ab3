#pragma once

#include <cstdint>

namespace upd {

// What a single-file transfer reports while it runs, as numbers only. The main window shows it
// (bar, amount, speed and remaining time); tests record it.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;

    // Asked before every run of pieces: true once the user wants the program to close. The
    // transfer then cancels and deletes its partial file.
    virtual bool cancelRequested() const = 0;

    // The transfer has begun; it runs until transferEnded().
    virtual void transferStarted() = 0;
    // The size the server announced (0: none).
    virtual void sizeAnnounced(std::int32_t bytes) = 0;
    // A block of data arrived from the network.
    virtual void dataArriving() = 0;
    // After every run of pieces (the whole 512-byte pieces of a network block, the short rest, the
    // empty end): the expected size (0: unknown) and the bytes received so far.
    virtual void progress(std::int32_t expected, std::int32_t received) = 0;
    // The transfer is over, however it ended.
    virtual void transferEnded() = 0;
};

} // namespace upd
