#include "wizard/data_query.h"

#include "protocol/authenticity.h"
#include "protocol/request_parameters.h"
#include "protocol/server_answer.h"
#include "wizard/server_query.h"

#include <cmath>

namespace upd {
namespace {

// Fills the bar in fixed steps once the answer is there, so that even a quick download is seen.
// A window that is closing is not kept waiting for the show.
void animateDownloadBar(DownloadBar& bar, EventLoop& loop, const WizardFlags& flags) {
    const float track = bar.trackTwips();
    const int last = static_cast<int>(track - 1);
    for (int i = 0; i <= last && !flags.CloseRequested; i += 50) {
        bar.setBarWidth(float(i));
        loop.yield();
        const auto percent = static_cast<int>(std::nearbyint(i * 100.0 / track));
        bar.setCaption(QString::number(percent) + QStringLiteral(" %"));
        loop.yield();
        loop.sleep(30);
    }
    bar.setCaption(QStringLiteral("100 %"));
}

void appendAndShow(EventLoop& loop, TextArea& box, const QString& line) {
    box.appendLine(line);
    box.refresh();
    loop.yield();
}

// The search answer: its root's first child must be "updatefound"; any text in the root means
// that a data update exists.
bool readSearchAnswer(EventLoop& loop, const XmlNode& root, TextArea& resultBox, bool& found) {
    switch (readDataSearchAnswer(root)) {
    case DataSearchAnswer::NotUnderstood:
        found = false;
        return false;
    case DataSearchAnswer::NoUpdate:
        appendAndShow(loop, resultBox, QStringLiteral(" Kein Daten-Update vorhanden."));
        return true;
    case DataSearchAnswer::UpdateFound:
        appendAndShow(loop, resultBox,
                      resultBox.text().isEmpty()
                          ? QStringLiteral(" Ein Daten-Update vorhanden.")
                          : QStringLiteral(" Ein Daten-Update ist vorhanden."));
        found = true;
        return true;
    }
    return false;
}

// The download answer: one child of the root per data set.
bool readDownloadAnswer(EventLoop& loop, const XmlNode& root, TextArea& resultBox, bool& found) {
    found = payloadHasSets(root);
    appendAndShow(loop, resultBox,
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
    query.address = DataQueryAddress(session, version, queryMode);
    query.failureText = QStringLiteral("Die Update-Daten konnten nicht abgerufen werden! "
                                       "Versuchen Sie es bitte später nochmal!");
    if (download) {
        query.afterFetch = [&] {
            animateDownloadBar(window.downloadBar(), window.eventLoop(), window.flags());
        };
        query.check = [&](const QByteArray& body) {
            return checkPayloadSignature(
                TrustedKeys::fromSetting(session.deployment.signingKeys), session.host.ProgID,
                session.host.DBVers, body,
                Inet1.getHeader(QString::fromLatin1(PayloadSignatureHeader)));
        };
    }
    query.readAnswer = [&](const XmlNode& root) {
        if (queryMode == querymode::Search)
            return readSearchAnswer(window.eventLoop(), root, resultBox, found);
        if (download)
            return readDownloadAnswer(window.eventLoop(), root, resultBox, found);
        return true;
    };

    Inet1.cancel();
    Inet1.setRequestTimeout(DataRequestTimeoutSeconds);
    if (download) {
        resultBox.setText(QStringLiteral(" Download der Daten ..."));
        window.messages().visibleMessageArea().setText(
            QStringLiteral("Bitte warten! Die Daten werden abgerufen ..."));
    }
    return runServerQuery(window, Inet1, query, errNumber, errText);
}

} // namespace upd
