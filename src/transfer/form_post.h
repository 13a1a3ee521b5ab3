#pragma once

#include "core/event_loop.h"

#include <QByteArray>
#include <QString>
#include <curl/curl.h>
#include <functional>

namespace upd {

// What came back from a form POST.
struct FormPostAnswer {
    CURLcode code = CURLE_FAILED_INIT; // the transfer's result
    long status = 0;                   // the HTTP status, 0 when none arrived
    QByteArray contentType;
    QByteArray body;

    // True when the transfer ended normally with a success status (2xx).
    bool succeeded() const { return code == CURLE_OK && status >= 200 && status < 300; }
    // The body as text: UTF-8 when the answer says so, Windows-1252 otherwise.
    QString text() const;
};

// Sends `parameters` (already in their wire form) as the body of a POST of type
// application/x-www-form-urlencoded to `url` and collects the answer, on the calling thread,
// yielding like every transfer. `cancelled` is asked after each yield; a true answer stops the
// request at once (code CURLE_ABORTED_BY_CALLBACK). Answers beyond `bodyLimit` bytes are refused
// (CURLE_WRITE_ERROR) instead of filling the memory.
FormPostAnswer postForm(const QString& url, const QByteArray& parameters, EventLoop& loop,
                        const std::function<bool()>& cancelled, qsizetype bodyLimit);

} // namespace upd
