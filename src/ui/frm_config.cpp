#include "ui/frm_config.h"

#include "ui/twips.h"

#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace upd {

bool isGermanDate(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const QString& format :
         {QStringLiteral("d.M.yyyy"), QStringLiteral("d.M.yy"), QStringLiteral("yyyy-M-d")}) {
        if (QDate::fromString(trimmed, format).isValid())
            return true;
    }
    return false;
}

frmConfig::frmConfig(Session& session, Prompts& prompts, QWidget* parent)
    : QDialog(parent), session_(session), prompts_(prompts) {
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Konfiguration"));

    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    const auto addRow = [&](int row, const QString& label) {
        auto* box = new QLineEdit(this);
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(box, row, 1);
        return box;
    };
    txtUpdateServer = addRow(0, QStringLiteral("Update Server"));
    cmdLocal = new QPushButton(QStringLiteral("..."), this);
    cmdLocal->setFixedWidth(twips(450));
    grid->addWidget(cmdLocal, 0, 2);
    txtControlKey = addRow(1, QStringLiteral("Update Key"));
    txtParameter = addRow(2, QStringLiteral("Parameter"));
    txtDate = addRow(3, QStringLiteral("Date"));
    txtDBVersion = addRow(4, QStringLiteral("DB Version"));
    txtDBName = addRow(5, QStringLiteral("DB Name"));

    auto* warning = new QLabel(
        QStringLiteral("ACHTUNG! Änderungen nur nach Anweisung der quorlan-Hotline vornehmen!"),
        this);
    warning->setWordWrap(true);
    warning->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); font-weight: bold;"));
    grid->addWidget(warning, 6, 0, 1, 3);
    lblCMD = new LabelButton(QStringLiteral("OK"), this);
    lblCMD->setDefault(true);
    grid->setRowStretch(7, 1);
    grid->addWidget(lblCMD, 8, 0, 1, 3, Qt::AlignRight);
    resize(twips(5160), twips(4320));

    txtUpdateServer->setText(session_.ServerBaseUrl);
    txtControlKey->setText(session_.ControlKey);
    txtParameter->setText(session_.ServerParameter);
    txtDBVersion->setText(session_.host.DBVers);
    txtDate->setText(session_.SearchDate);
    txtDBName->setText(session_.host.DBName);

    connect(cmdLocal, &QPushButton::clicked, this, &frmConfig::cmdLocal_Click);
    connect(lblCMD, &QAbstractButton::clicked, this, &frmConfig::lblCMD_Click);
}

void frmConfig::cmdLocal_Click() {
    txtUpdateServer->setText(session_.deployment.localServerUrl);
}

void frmConfig::lblCMD_Click() {
    if (!txtDate->text().isEmpty() && !isGermanDate(txtDate->text())) {
        prompts_.critical(QStringLiteral("Bitte ein korrektes Datum eingeben!"));
        return;
    }
    session_.ServerBaseUrl = txtUpdateServer->text();
    session_.ControlKey = txtControlKey->text();
    session_.ServerParameter = txtParameter->text();
    session_.SearchDate = txtDate->text();
    if (!txtDBVersion->text().isEmpty())
        session_.host.DBVers = txtDBVersion->text();
    if (!txtDBName->text().isEmpty())
        session_.host.DBName = txtDBName->text();
    accept();
}

} // namespace upd
