#include "wizard/server_query.h"

#include "core/error_catalogue.h"
#include "transfer/server_fetch.h"
#include "wizard/authenticity_texts.h"
#include "wizard/wizard_texts.h"

#include <optional>

namespace upd {

bool runServerQuery(WizardWindow& window, TransferControl& Inet1, const ServerQuery& query,
                    std::int32_t& errNumber, QString& errText) {
    const ServerFetch fetch = fetchServerAnswer(Inet1, query.address, window.ResponseDocument(),
                                                query.afterFetch, query.check);
    std::optional<RuntimeError> pending = fetch.failure;
    switch (fetch.kind) {
    case ServerFetch::Kind::ErrorAnswer:
        errNumber = fetch.error.number;
        errText = fetch.error.text;
        return false;
    case ServerFetch::Kind::Answer:
        try {
            if (query.readAnswer(window.ResponseDocument().documentElement()))
                return true;
        } catch (const RuntimeError& error) {
            pending = error;
        }
        break;
    case ServerFetch::Kind::NotGenuine:
        // Only the data payload is checked: its refusal is a failed download.
        errNumber = errcode::DownloadFailed;
        errText = notGenuineDataText(fetch.notGenuine) + CrLf +
                  QStringLiteral("Es wurden keine Daten übernommen.");
        return false;
    case ServerFetch::Kind::Unusable:
        break;
    }
    errNumber = errcode::AnswerUnusable;
    errText = pending ? pending->trapText() : query.failureText;
    return false;
}

} // namespace upd
