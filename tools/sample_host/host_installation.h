#pragma once

#include <QString>
#include <QStringList>

namespace sample_host {

// What the sample host knows of its installation: the values of "sample-host.ini" beside its
// program file, and its installed version in "version.txt", which the update setups rewrite.
struct HostInstallation {
    QString directory;
    QString programName; // the host's own file name in `directory`
    QString version;
    QString productCode;
    QString appName;
    QString extAppName;
    QString dbName;
    QString dbVersion;
    QString updater;            // the updater program to start
    QStringList updaterOptions; // placed before the parameter string
    QString userItems;          // further items of the parameter string ("SFA=...#SNN=...")

    static HostInstallation read(const QString& programFile);

    // The parameter string the host passes: its own process id as `Hwnd`, the installation's
    // values and the run mode.
    QString parameterString(qint64 hostHandle, int runMode) const;
    // Appends a line to "host.log", where tests and the demo see the host start and end.
    void log(const QString& line) const;
};

} // namespace sample_host
