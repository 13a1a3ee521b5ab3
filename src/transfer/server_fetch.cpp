#include "transfer/server_fetch.h"

namespace upd {

ServerFetch fetchServerAnswer(TransferControl& Inet1, const QString& address, XmlDocument& document,
                              const std::function<void()>& afterFetch) {
    ServerFetch outcome;
    try {
        const QString answer = Inet1.openUrl(address);
        if (afterFetch)
            afterFetch();
        if (!document.loadXml(answer))
            return outcome;
        if (auto error = readErrorAnswer(document.documentElement())) {
            outcome.kind = ServerFetch::Kind::ErrorAnswer;
            outcome.error = *error;
            return outcome;
        }
        outcome.kind = ServerFetch::Kind::Answer;
    } catch (const RuntimeError& error) {
        outcome.failure = error;
    }
    return outcome;
}

} // namespace upd
