#include "app/start_report.h"

#include <QFile>
#include <QSaveFile>

namespace upd {

void reportStart(frmStart& window) {
    const QString path = qEnvironmentVariable("QUORLAN_UPDATE_START_REPORT");
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QStringLiteral("state=%1 tab=%2\n%3\n")
                   .arg(window.wizardState())
                   .arg(window.controls().tabs().currentTab())
                   .arg(window.session().HostArguments)
                   .toUtf8());
    file.commit();
}

} // namespace upd
