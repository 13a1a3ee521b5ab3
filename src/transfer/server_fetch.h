#pragma once

#include "core/runtime_error.h"
#include "core/xml_document.h"
#include "protocol/authenticity.h"
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
        NotGenuine,  // an answer, but its bytes are not what the maker signed
    };
    Kind kind = Kind::Unusable;
    ErrorAnswer error;                   // Kind::ErrorAnswer
    std::optional<RuntimeError> failure; // Kind::Unusable: the run-time error, when one was raised
    NotGenuine notGenuine = NotGenuine::SignatureMissing; // Kind::NotGenuine: why
};

// Looks at an answer's exact bytes (and, through the transfer control, at its headers) before it
// is used: nothing when the answer may be used, otherwise why not.
using AnswerCheck = std::function<std::optional<NotGenuine>(const QByteArray& body)>;

// Fetches the address through the transfer control and loads the answer into `document`, read by
// its root element whatever declaration or comment precedes it. `afterFetch` runs once the answer
// has arrived, before it is read. An answer that `check` objects to is not kept: the document is
// left empty (an error answer is reported as such, signed or not).
ServerFetch fetchServerAnswer(TransferControl& Inet1, const QString& address, XmlDocument& document,
                              const std::function<void()>& afterFetch = {},
                              const AnswerCheck& check = {});

} // namespace upd
