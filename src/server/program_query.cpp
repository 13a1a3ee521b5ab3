#include "server/program_query.h"

#include "server/request_parameters.h"
#include "server/server_answer.h"

namespace upd {

bool QueryProgramUpdates(WizardWindow& window, TransferControl& Inet1, const QString& version,
                         QString& errText, TextArea& resultBox, std::int32_t& errNumber,
                         bool& updatesFound) {
    std::optional<RuntimeError> pending;
    try {
        const Session& session = window.session();
        const QString address = session.ServerBaseUrl + QStringLiteral("/update.aspx?") +
                                BuildProgramQuery(session, version);
        const QString answer = Inet1.openUrl(address + QStringLiteral(" #"));

        XmlDocument& document = window.ResponseDocument();
        if (document.loadXml(answer)) {
            const XmlNode root = answerRoot(document);
            if (readErrorAnswer(root, errNumber, errText))
                return false;
            const auto children = root.childNodes();
            if (children.empty()) {
                resultBox.appendLine(QStringLiteral(" Kein Programm-Update vorhanden."));
                resultBox.refresh();
                window.eventLoop().yield();
                return true;
            }
            updatesFound = true;
            const auto versions = document.getElementsByTagName(QStringLiteral("version"));
            const auto names = document.getElementsByTagName(QStringLiteral("name"));
            for (std::size_t i = 0; i < versions.size(); ++i) {
                if (i >= names.size())
                    throw RuntimeError(errnum::ObjectNotSet);
                resultBox.appendLine(u' ' + versions[i].text() + QStringLiteral("   ") +
                                     names[i].text());
            }
            return true;
        }
    } catch (const RuntimeError& error) {
        pending = error;
    }
    reportQueryFailure(pending,
                       QStringLiteral("Die Update-Informationen konnten nicht abgerufen werden! "
                                      "Versuchen Sie es bitte später nochmal!"),
                       errNumber, errText);
    return false;
}

} // namespace upd
