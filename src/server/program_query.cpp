#include "server/program_query.h"

#include "core/runtime_error.h"
#include "server/request_parameters.h"
#include "server/server_answer.h"

namespace upd {

bool QueryProgramUpdates(WizardWindow& window, TransferControl& Inet1, const QString& version,
                         QString& errText, TextArea& resultBox, std::int32_t& errNumber,
                         bool& updatesFound) {
    const Session& session = window.session();
    ServerQuery query;
    query.address = session.ServerBaseUrl + QStringLiteral("/update.aspx?") +
                    BuildProgramQuery(session, version) + QStringLiteral(" #");
    query.failureText = QStringLiteral("Die Update-Informationen konnten nicht abgerufen werden! "
                                       "Versuchen Sie es bitte später nochmal!");
    query.readAnswer = [&](const XmlNode& root) {
        if (root.childNodes().empty()) {
            resultBox.appendLine(QStringLiteral(" Kein Programm-Update vorhanden."));
            resultBox.refresh();
            window.eventLoop().yield();
            return true;
        }
        updatesFound = true;
        // The i-th "version" and the i-th "name" of the whole answer belong together.
        const XmlDocument& answer = window.ResponseDocument();
        const auto versions = answer.getElementsByTagName(QStringLiteral("version"));
        const auto names = answer.getElementsByTagName(QStringLiteral("name"));
        for (std::size_t i = 0; i < versions.size(); ++i) {
            if (i >= names.size())
                throw RuntimeError(errnum::ObjectNotSet);
            resultBox.appendLine(u' ' + versions[i].text() + QStringLiteral("   ") +
                                 names[i].text());
        }
        return true;
    };
    return runServerQuery(window, Inet1, query, errNumber, errText);
}

} // namespace upd
