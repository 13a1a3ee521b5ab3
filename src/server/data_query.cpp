#include "server/data_query.h"

#include "core/runtime_error.h"
#include "server/request_parameters.h"
#include "server/server_answer.h"

#include <cmath>

namespace upd {
namespace {

// Fills the bar in fixed steps once the answer is there, so that even a quick download is seen.
void animateDownloadBar(WizardWindow& window) {
    EventLoop& loop = window.eventLoop();
    const float track = window.progressTrackTwips();
    const int last = static_cast<int>(track - 1);
    for (int i = 0; i <= last; i += 50) {
        window.setProgressBarWidth(float(i));
        loop.yield();
        const auto percent = static_cast<int>(std::nearbyint(i * 100.0 / track));
        window.setProgressCaption(QString::number(percent) + QStringLiteral(" %"));
        loop.yield();
        loop.sleep(30);
    }
    window.setProgressCaption(QStringLiteral("100 %"));
}

void appendAndShow(WizardWindow& window, TextArea& box, const QString& line) {
    box.appendLine(line);
    box.refresh();
    window.eventLoop().yield();
}

// The search answer: its root's first child must be "updatefound"; any text in the root means
// that a data update exists.
bool readSearchAnswer(WizardWindow& window, const XmlNode& root, TextArea& resultBox, bool& found) {
    const auto children = root.childNodes();
    if (children.empty())
        throw RuntimeError(errnum::ObjectNotSet);
    if (children.front().localName() != QStringLiteral("updatefound")) {
        found = false;
        return false;
    }
    if (root.text().isEmpty()) {
        appendAndShow(window, resultBox, QStringLiteral(" Kein Daten-Update vorhanden."));
        return true;
    }
    appendAndShow(window, resultBox,
                  resultBox.text().isEmpty() ? QStringLiteral(" Ein Daten-Update vorhanden.")
                                             : QStringLiteral(" Ein Daten-Update ist vorhanden."));
    found = true;
    return true;
}

// The download answer: one child of the root per data set.
bool readDownloadAnswer(WizardWindow& window, const XmlNode& root, TextArea& resultBox,
                        bool& found) {
    found = !root.childNodes().empty();
    appendAndShow(window, resultBox,
                  found ? QStringLiteral(" Datenübertragung erfolgreich ...")
                        : QStringLiteral(" Fehler bei der Datenübertagung ..."));
    return true;
}

} // namespace

bool QueryDataUpdates(WizardWindow& window, TransferControl& Inet1, int queryMode,
                      const QString& version, QString& errText, TextArea& resultBox,
                      std::int32_t& errNumber, bool& found) {
    const Session& session = window.session();
    const bool download = queryMode == querymode::Download;
    ServerQuery query;
    query.address = session.ServerBaseUrl + QStringLiteral("/dataupdate.aspx?") +
                    EncodeQueryText(BuildDataQuery(session, version, queryMode), 4) + u'#';
    query.failureText = QStringLiteral("Die Update-Daten konnten nicht abgerufen werden! "
                                       "Versuchen Sie es bitte später nochmal!");
    if (download)
        query.afterFetch = [&] {
            animateDownloadBar(window);
        };
    query.readAnswer = [&](const XmlNode& root) {
        if (queryMode == querymode::Search)
            return readSearchAnswer(window, root, resultBox, found);
        if (download)
            return readDownloadAnswer(window, root, resultBox, found);
        return true;
    };

    Inet1.cancel();
    Inet1.setRequestTimeout(DataRequestTimeoutSeconds);
    if (download) {
        resultBox.setText(QStringLiteral(" Download der Daten ..."));
        window.visibleMessageArea().setText(
            QStringLiteral("Bitte warten! Die Daten werden abgerufen ..."));
    }
    return runServerQuery(window, Inet1, query, errNumber, errText);
}

} // namespace upd
