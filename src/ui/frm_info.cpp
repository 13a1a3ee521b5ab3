#include "ui/frm_info.h"

#include "ui/twips.h"

#include <QLabel>
#include <QVBoxLayout>

namespace upd {
namespace {

const QString Placeholder = QStringLiteral("<#>");

} // namespace

frmInfo::frmInfo(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("Informationen zur Verzeichnisauswahl ..."));
    const QString appName = session_.DialogArg1.toString();
    const QString extAppName = session_.DialogArg2.toString();

    const auto label = [this](QString text, const QString& name) {
        auto* l = new QLabel(text.replace(Placeholder, name), this);
        l->setWordWrap(true);
        // Clicks go through to the window, which closes on any click.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        return l;
    };
    lblInfo[0] = label(
        QStringLiteral("Das online-Update-Programm speichert die heruntergeladenen Dateien "
                       "automatisch im Unterverzeichnis \"Updates\" Ihrer <#>-Installation. Wenn "
                       "Sie seinerzeit bei Ihrer <#>-Installation die Vorgaben übernommen haben, "
                       "finden Sie die Updates daher unter:"),
        extAppName);
    lblPath = label(QStringLiteral("c:\\<#>\\updates"), appName);
    lblInfo[1] = label(QStringLiteral("Bitte beachten Sie: Bei einer Installation auf den Server "
                                      "Ihrer EDV-Anlage bezeichnet \"c:\" die Festplatte des "
                                      "Servers und nicht die Festplatte des jeweiligen "
                                      "Arbeitsplatzes!"),
                       QString());
    lblInfo[2] = label(QStringLiteral("Wenn Sie die heruntergeladenen Updates \"offline\" auf "
                                      "einem anderen Rechner einspielen wollen, haben Sie zwei "
                                      "Möglichkeiten:"),
                       QString());
    Label2 = label(QStringLiteral("1. Update-Installation über das Netzwerk"), QString());
    lblInfo[3] = label(
        QStringLiteral("Rufen Sie auf dem Rechner, auf den Sie das Update \"offline\" einspielen "
                       "wollen, in <#> unter \"Systemverwaltung\" den Untermenüpunkt \"Update via "
                       "Datenträger\" auf."),
        extAppName);
    lblInfo[5] = label(QStringLiteral("Geben Sie dort als Datenquelle das Verzeichnis \"Updates\" "
                                      "auf dem Ursprungsrechner an, zum Beispiel x:\\<#>\\updates"),
                       appName);
    Label3 = label(QStringLiteral("2. Update-Installation über CD-ROM "), QString());
    lblInfo[4] =
        label(QStringLiteral(
                  "Kopieren Sie das gesamte Verzeichnis \"Updates\" auf eine CD-ROM. Legen Sie "
                  "diese ins CD-ROM-Laufwerk des Rechners, auf den Sie das Update \"offline\" "
                  "einspielen wollen. Rufen Sie auf diesem Rechner in <#> unter "
                  "\"Systemverwaltung\" den Untermenüpunkt \"Update via Datenträger\" auf. "
                  "Geben Sie dort als Datenquelle das Verzeichnis \"Update\" auf der CD-ROM "
                  "an, zum Beispiel: e:\\updates"),
              extAppName);

    QFont heading = Label2->font();
    heading.setBold(true);
    Label2->setFont(heading);
    Label3->setFont(heading);
    QFont path = lblPath->font();
    path.setBold(true);
    lblPath->setFont(path);
    lblPath->setIndent(twips(300));

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(twips(120));
    for (QLabel* l : {lblInfo[0], lblPath, lblInfo[1], lblInfo[2], Label2, lblInfo[3], lblInfo[5],
                      Label3, lblInfo[4]})
        layout->addWidget(l);
    layout->addStretch();
    setFixedWidth(twips(7500));
}

void frmInfo::mousePressEvent(QMouseEvent*) {
    accept();
}

void frmInfo::done(int result) {
    session_.DialogArg1 = QString();
    QDialog::done(result);
}

} // namespace upd
