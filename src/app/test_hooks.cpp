#include "app/test_hooks.h"

#include <QPointer>
#include <QSaveFile>
#include <QTimer>

namespace upd {
namespace {

void reportStart(frmStart& window, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QStringLiteral("state=%1 tab=%2\n")
                   .arg(window.wizardState())
                   .arg(window.controls().tabs().currentTab())
                   .toUtf8() +
               window.session().HostArguments.toUtf8() + '\n');
    file.commit();
}

} // namespace

void runTestHooks(frmStart& window) {
    const QString report = qEnvironmentVariable("QUORLAN_UPDATE_START_REPORT");
    if (!report.isEmpty())
        reportStart(window, report);

    const int clicks = qEnvironmentVariableIntValue("QUORLAN_UPDATE_TEST_CLICKS");
    qunsetenv("QUORLAN_UPDATE_TEST_CLICKS");
    if (clicks <= 0)
        return;
    QTimer::singleShot(0, &window, [target = QPointer<frmStart>(&window), clicks] {
        for (int i = 0; i < clicks && target; ++i)
            target->StartAskForUpdates();
    });
}

} // namespace upd
