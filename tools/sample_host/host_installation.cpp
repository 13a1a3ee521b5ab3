#include "host_installation.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace sample_host {

HostInstallation HostInstallation::read(const QString& programFile) {
    const QFileInfo program(programFile);
    HostInstallation host;
    host.directory = program.absolutePath();
    host.programName = program.fileName();
    QFile version(QDir(host.directory).filePath(QStringLiteral("version.txt")));
    if (version.open(QIODevice::ReadOnly))
        host.version = QString::fromUtf8(version.readLine(64)).trimmed();

    QSettings ini(QDir(host.directory).filePath(QStringLiteral("sample-host.ini")),
                  QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Host"));
    host.productCode = ini.value(QStringLiteral("ProgID"), QStringLiteral("QGR")).toString();
    host.appName = ini.value(QStringLiteral("AppName")).toString();
    host.extAppName = ini.value(QStringLiteral("ExtAppName"), host.appName).toString();
    host.dbName = ini.value(QStringLiteral("DBName")).toString();
    host.dbVersion = ini.value(QStringLiteral("DBVers")).toString();
    host.updater = ini.value(QStringLiteral("Updater")).toString();
    host.updaterOptions = ini.value(QStringLiteral("UpdaterOptions")).toStringList();
    host.userItems = ini.value(QStringLiteral("UserItems")).toString();
    return host;
}

QString HostInstallation::parameterString(qint64 hostHandle, int runMode) const {
    QStringList items{
        QStringLiteral("Hwnd=%1").arg(hostHandle),
        QStringLiteral("ExeVers=") + version,
        QStringLiteral("DBName=") + dbName,
        QStringLiteral("DBVers=") + dbVersion,
        QStringLiteral("AppName=") + appName,
        QStringLiteral("ExtAppName=") + extAppName,
        QStringLiteral("ExePath=") + QDir::toNativeSeparators(directory),
        QStringLiteral("ExeName=") + programName,
        QStringLiteral("ProgID=") + productCode,
    };
    if (!userItems.isEmpty())
        items << userItems;
    items << QStringLiteral("START=%1").arg(runMode);
    return items.join(u'#');
}

void HostInstallation::log(const QString& line) const {
    QFile file(QDir(directory).filePath(QStringLiteral("host.log")));
    if (file.open(QIODevice::Append))
        file.write(
            (QDateTime::currentDateTime().toString(Qt::ISODate) + u' ' + line + u'\n').toUtf8());
}

} // namespace sample_host
