#include "wizard/data_install_step.h"

#include "dataupdate/data_install.h"
#include "wizard/host_closing.h"
#include "wizard/wizard_texts.h"

namespace upd {
namespace {

// The installation's log pieces go into txtInstallation, the record count into the message area.
class InstallationDisplay final : public dataupdate::DataInstallSink {
public:
    InstallationDisplay(TextArea& log, TextArea& message, EventLoop& loop)
        : log_(log), message_(message), loop_(loop) {}

    void appendLog(const QString& piece) override {
        log_.setText(log_.text() + piece);
        log_.refresh();
        loop_.yield();
    }
    void showRecordProgress(std::int64_t record, std::int64_t records) override {
        message_.setText(dataupdate::recordProgressText(record, records));
        message_.refresh();
        loop_.yield();
    }

private:
    TextArea& log_;
    TextArea& message_;
    EventLoop& loop_;
};

} // namespace

void InstallDataUpdates(WizardWindow& window) {
    Session& session = window.session();
    EventLoop& loop = window.eventLoop();
    Button& start = window.controls().startButton();
    start.setEnabled(false);
    window.controls().tabs().setCurrentTab(tab::Installation);
    TextArea& log = window.boxes().installationLog();
    TextArea& message = window.messages().messageArea(tab::Installation);
    log.setText(QString());
    message.setText(QString());

    WizardFlags& flags = window.flags();
    if (!flags.HostClosed) {
        if (!CloseHostApplication(session, window.prompts(), loop, window.dialogs())) {
            start.setEnabled(true);
            return;
        }
        flags.HostClosed = true;
    }

    InstallationDisplay display(log, message, loop);
    const dataupdate::DataInstallOutcome outcome = dataupdate::installDataPayload(
        dataupdate::DatabaseLocation::fromSession(session), session.host.ProgID,
        window.ResponseDocument().documentElement(), display);
    if (outcome.succeeded) {
        message.show(QStringLiteral("Die Installation der Updates wurde erfolgreich "
                                    "abgeschlossen!"),
                     WorkingColor);
        loop.yield();
        window.controls().clickEndButton();
        return;
    }
    message.show(QStringLiteral("Es konnten keine Updates installiert werden bzw. die "
                                "Installation wurde nicht vollständig durchgeführt.") +
                     CrLf + QStringLiteral("Vermutliche Ursachen:") + CrLf + outcome.errText,
                 AttentionColor);
    loop.yield();
    start.setEnabled(true);
}

} // namespace upd
