#pragma once

#include "transfer/server_fetch.h"
#include "transfer/transfer_control.h"
#include "wizard/wizard_steps.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace upd {

// One query of the update server, as both queries run it.
struct ServerQuery {
    QString address;     // with the "#" the queries append
    QString failureText; // the error text of an answer that cannot be used
    // Runs once the answer has arrived, before it is read (may be empty).
    std::function<void()> afterFetch;
    // Reads an answer that is not an "error" answer: true when it was understood, false to fail
    // with the failure text. May raise a run-time error.
    std::function<bool(const XmlNode& root)> readAnswer;
    // Looks at the answer's exact bytes before they are loaded (may be empty): the data payload's
    // signature.
    AnswerCheck check;
};

// Runs the query into the window's ResponseDocument. An "error" answer gives its number and text
// and false. An answer that the check refuses gives 800400002 and why the data are not genuine.
// Every other failure gives 800400001 with the run-time error's "description (number)", or with
// the failure text when none was raised.
bool runServerQuery(WizardWindow& window, TransferControl& Inet1, const ServerQuery& query,
                    std::int32_t& errNumber, QString& errText);

} // namespace upd
