#include "transfer/server_fetch.h"

namespace upd {

ServerFetch fetchServerAnswer(TransferControl& Inet1, const QString& address, XmlDocument& document,
                              const std::function<void()>& afterFetch, const AnswerCheck& check) {
    ServerFetch outcome;
    try {
        const QByteArray body = Inet1.openUrlBytes(address);
        if (afterFetch)
            afterFetch();
        const std::optional<NotGenuine> objection = check ? check(body) : std::nullopt;
        const bool loaded = document.loadXml(
            decodeAnswerText(body, Inet1.getHeader(QStringLiteral("Content-Type")).toLatin1()));
        if (loaded) {
            if (auto error = readErrorAnswer(document.documentElement())) {
                outcome.kind = ServerFetch::Kind::ErrorAnswer;
                outcome.error = *error;
                return outcome;
            }
        }
        if (objection) {
            document.loadXml(QString());
            outcome.kind = ServerFetch::Kind::NotGenuine;
            outcome.notGenuine = *objection;
            return outcome;
        }
        if (loaded)
            outcome.kind = ServerFetch::Kind::Answer;
    } catch (const RuntimeError& error) {
        outcome.failure = error;
    }
    return outcome;
}

} // namespace upd
