#include "server/data_query.h"

#include "server/request_parameters.h"
#include "server/server_answer.h"

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

} // namespace

bool QueryDataUpdates(WizardWindow& window, TransferControl& Inet1, int queryMode,
                      const QString& version, QString& errText, TextArea& resultBox,
                      std::int32_t& errNumber, bool& found) {
    std::optional<RuntimeError> pending;
    try {
        const Session& session = window.session();
        const QString address = session.ServerBaseUrl + QStringLiteral("/dataupdate.aspx?") +
                                EncodeQueryText(BuildDataQuery(session, version, queryMode), 4);
        Inet1.cancel();
        Inet1.setRequestTimeout(DataRequestTimeoutSeconds);

        const bool download = queryMode == querymode::Download;
        if (download) {
            resultBox.setText(QStringLiteral(" Download der Daten ..."));
            window.visibleMessageArea().setText(
                QStringLiteral("Bitte warten! Die Daten werden abgerufen ..."));
        }
        const QString answer = Inet1.openUrl(address + u'#');
        if (download)
            animateDownloadBar(window);

        XmlDocument& document = window.ResponseDocument();
        if (document.loadXml(answer)) {
            const XmlNode root = answerRoot(document);
            if (readErrorAnswer(root, errNumber, errText))
                return false;
            const auto children = root.childNodes();
            if (queryMode == querymode::Search) {
                if (children.empty())
                    throw RuntimeError(errnum::ObjectNotSet);
                if (children.front().localName() != QStringLiteral("updatefound")) {
                    found = false;
                } else if (!root.text().isEmpty()) {
                    appendAndShow(window, resultBox,
                                  resultBox.text().isEmpty()
                                      ? QStringLiteral(" Ein Daten-Update vorhanden.")
                                      : QStringLiteral(" Ein Daten-Update ist vorhanden."));
                    found = true;
                    return true;
                } else {
                    appendAndShow(window, resultBox,
                                  QStringLiteral(" Kein Daten-Update vorhanden."));
                    return true;
                }
            } else if (download) {
                found = !children.empty();
                appendAndShow(window, resultBox,
                              found ? QStringLiteral(" Datenübertragung erfolgreich ...")
                                    : QStringLiteral(" Fehler bei der Datenübertagung ..."));
                return true;
            } else {
                return true;
            }
        }
    } catch (const RuntimeError& error) {
        pending = error;
    }
    reportQueryFailure(pending,
                       QStringLiteral("Die Update-Daten konnten nicht abgerufen werden! "
                                      "Versuchen Sie es bitte später nochmal!"),
                       errNumber, errText);
    return false;
}

} // namespace upd
