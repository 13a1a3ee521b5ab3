#include "transfer/server_fetch.h"

namespace upd {

ServerFetch fetchServerAnswer(TransferControl& Inet1, const QString& address, XmlDocument& document,
                              const std::function<void()>& afterFetch, const AnswerCheck& check) {
    ServerFetch outcome;
    try {
        QByteArray body = Inet1.openUrlBytes(address);
        if (afterFetch)
            afterFetch();
        const std::optional<NotGenuine> objection = check ? check(body) : std::nullopt;
        // The signature covers the exact bytes; then they become the document's UTF-8 text, and
        // only one of the two is held at a time.
        const bool loaded = document.loadUtf8(answerTextAsUtf8(
            std::move(body), Inet1.getHeader(QStringLiteral("Content-Type")).toLatin1()));
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
