#pragma once

#include <chrono>
#include <cstddef>

namespace upd::server {

// What one client may cost the server. Slow or idle connections only hold memory (a few dozen
// KiB each); these bounds keep that memory, and the time a request may take, finite.
// docs/update-server.md lists the values.
struct ServerLimits {
    // Longer request lines are refused with 414.
    std::size_t maxRequestLine = 8 * 1024;
    // More header fields, or more bytes of them (names and values), are refused with 431.
    std::size_t maxHeaderCount = 100;
    std::size_t maxHeaderBytes = 8 * 1024;
    // Larger request bodies are refused with 413; the client's POST is far below it.
    std::size_t maxBodyBytes = 64 * 1024;
    // Memory of one connection for its request and the head of its answer; a request that does
    // not fit is refused before the limits above are even checked.
    std::size_t connectionMemory = 32 * 1024;
    // The whole request (line, headers, body) must have arrived this long after the connection
    // was accepted or its previous answer ended, however slowly the bytes trickle in.
    std::chrono::milliseconds requestDeadline{10'000};
    // A kept-alive connection without a byte for this long is closed.
    unsigned keepAliveIdleSeconds = 5;
    // A connection whose answer does not move (the client reads nothing) for this long is closed.
    unsigned stalledAnswerSeconds = 30;
    // Connections of one client address at a time; further ones are closed at once. 0: no
    // limit, for instances behind a reverse proxy where every connection comes from the proxy.
    unsigned connectionsPerAddress = 64;
    unsigned maxConnections = 10'000;
    unsigned listenBacklog = 1'024;
    // Event loops, each serving any number of connections; 0: one per processor core, at
    // least two.
    unsigned threads = 0;
};

} // namespace upd::server
