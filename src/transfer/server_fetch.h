#pragma once

#include "core/runtime_error.h"
#include "core/xml_document.h"
#include "protocol/server_answer.h"
#include "transfer/transfer_control.h"

#include <QString>
#include <functional>
#include <optional>

namespace upd {

// How fetching an answer of the update server ended.
struct ServerFetch {
    enum class Kind {
        Answer,      // loaded; its root is not "error"
        ErrorAnswer, // the server answered with an error number and text
        Unusable,    // nothing usable arrived
    };
    Kind kind = Kind::Unusable;
    ErrorAnswer error;                   // Kind::ErrorAnswer
    std::optional<RuntimeError> failure; // Kind::Unusable: the run-time error, when one was raised
};

// Fetches the address through the transfer control and loads the answer into `document`, read by
// its root element whatever declaration or comment precedes it. `afterFetch` runs once the answer
// has arrived, before it is read.
ServerFetch fetchServerAnswer(TransferControl& Inet1, const QString& address, XmlDocument& document,
                              const std::function<void()>& afterFetch = {});

} // namespace upd
