#include "server/server_answer.h"

#include "core/numeric.h"

namespace upd {

XmlNode answerRoot(const XmlDocument& answer) {
    return answer.documentElement();
}

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

void reportQueryFailure(const std::optional<RuntimeError>& pending, const QString& fixedText,
                        std::int32_t& errNumber, QString& errText) {
    errNumber = AnswerUnusableError;
    errText = pending ? pending->trapText() : fixedText;
}

} // namespace upd
