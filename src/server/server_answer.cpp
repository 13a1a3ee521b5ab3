#include "server/server_answer.h"

#include "core/numeric.h"
#include "core/runtime_error.h"

#include <optional>

namespace upd {
namespace {

bool readErrorAnswer(const XmlNode& root, std::int32_t& errNumber, QString& errText) {
    if (root.localName() != QStringLiteral("error"))
        return false;
    const auto children = root.childNodes();
    if (children.size() < 2)
        throw RuntimeError(errnum::ObjectNotSet);
    errNumber = numeric::toInt32(children[0].text());
    errText = children[1].text();
    return true;
}

} // namespace

bool runServerQuery(WizardWindow& window, TransferControl& Inet1, const ServerQuery& query,
                    std::int32_t& errNumber, QString& errText) {
    std::optional<RuntimeError> pending;
    try {
        const QString answer = Inet1.openUrl(query.address);
        if (query.afterFetch)
            query.afterFetch();
        XmlDocument& document = window.ResponseDocument();
        if (document.loadXml(answer)) {
            const XmlNode root = document.documentElement();
            if (readErrorAnswer(root, errNumber, errText))
                return false;
            if (query.readAnswer(root))
                return true;
        }
    } catch (const RuntimeError& error) {
        pending = error;
    }
    errNumber = AnswerUnusableError;
    errText = pending ? pending->trapText() : query.failureText;
    return false;
}

} // namespace upd
