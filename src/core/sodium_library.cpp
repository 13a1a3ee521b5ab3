#include "core/sodium_library.h"

#include <sodium.h>
#include <stdexcept>

namespace upd {

void ensureSodium() {
    // Thread-safe and idempotent; it fails only where the system has no random source.
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("libsodium cannot be initialised");
}

} // namespace upd
