#pragma once
// How long the module waits for a database server, and the caller's flag that ends a wait. Plain
// data, without libpq: the connection (TAdsConnection) takes them before it connects, start-up fills
// them from TOVIK.INI (settings/ServerTimeouts.h).
#include <atomic>

namespace gs::ads {

struct ServerLimits {
    // Connecting (name lookup, TCP connect, TLS, log-in) ends after this many seconds.
    int connectSeconds = 10;
    // A wait for the server's answer (rows of a walk, a count, a statement) ends when nothing has
    // come for this many seconds: "Der Datenbankserver ... antwortet seit N s nicht.", and the
    // connection is dropped; the next run connects anew.
    int answerSeconds = 60;
    // Owned by the caller and outliving the connection; once true, any wait for the server ends
    // within about 100 ms with "Abgebrochen." (the connection is dropped as well). Null: none.
    const std::atomic<bool>* cancel = nullptr;
};

} // namespace gs::ads
