#include "wizard/program_query.h"

#include "protocol/request_parameters.h"
#include "protocol/server_answer.h"
#include "wizard/server_query.h"

namespace upd {

bool QueryProgramUpdates(WizardWindow& window, TransferControl& Inet1, const QString& version,
                         QString& errText, TextArea& resultBox, std::int32_t& errNumber,
                         bool& updatesFound) {
    const Session& session = window.session();
    ServerQuery query;
    query.address = ProgramQueryAddress(session, version);
    query.failureText = QStringLiteral("Die Update-Informationen konnten nicht abgerufen werden! "
                                       "Versuchen Sie es bitte später nochmal!");
    query.readAnswer = [&](const XmlNode& root) {
        if (!hasProgramUpdates(root)) {
            resultBox.appendLine(QStringLiteral(" Kein Programm-Update vorhanden."));
            resultBox.refresh();
            window.eventLoop().yield();
            return true;
        }
        updatesFound = true;
        for (const ListedUpdate& update : readProgramUpdateListing(window.ResponseDocument()))
            resultBox.appendLine(u' ' + update.version + QStringLiteral("   ") + update.name);
        return true;
    };
    return runServerQuery(window, Inet1, query, errNumber, errText);
}

} // namespace upd
