#include "transfer/server_fetch.h"

namespace upd {

ServerFetch fetchServerAnswer(TransferControl& Inet1, const QString& address, XmlDocument& document,
                              const std::function<void()>& afterFetch) {
    ServerFetch outcome;
    try {
        QByteArray answer = Inet1.openUrlUtf8(address);
        if (afterFetch)
            afterFetch();
        if (!document.loadUtf8(std::move(answer)))
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
