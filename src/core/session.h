#pragma once

#include "core/deployment_settings.h"

#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>

namespace upd {

// The values the host passes in its parameter string; empty (or 0) until passed.
struct HostParameters {
    std::int32_t Hwnd = 0;
    QString ExeVers;
    QString DBName;
    QString DBVers;
    QString AppName;
    QString ExtAppName;
    QString ExePath;
    QString ExeName;
    QString ProgID;
    QString MachineID;
    QString SFA;
    QString SNN;
    QString SVN;
    QString SOR;
    QString SPL;
    QString SST;
    QString REG;
    std::array<QString, 12> SD; // SD0 ... SD11
};

// Run modes selected by the host's START value.
namespace runmode {
inline constexpr std::int16_t Online = 0;
inline constexpr std::int16_t OfflineTypedDirectory = 1;
inline constexpr std::int16_t OfflineNewDlls = 2;
inline constexpr std::int16_t OfflineAll = 3;
inline constexpr std::int16_t OfflineNewMasterVersion = 4;
inline constexpr std::int16_t Background = 5;
inline constexpr std::int16_t NewUpdater = 6;
inline constexpr std::int16_t Restart = 7;

inline bool isOffline(std::int16_t mode) {
    return mode >= 1 && mode <= 4;
}
} // namespace runmode

// What the updater-information page says about the newer updater's bytes: its size, the
// lower-case hexadecimal SHA-256 and the maker's signature (both empty from a server that does
// not sign).
struct UpdaterSeal {
    QString size;
    QString sha256;
    QString signature;
};

// The module-wide values of one run of the program. `Main` creates the one session and hands it
// to whoever needs it; tests build their own.
struct Session {
    DeploymentSettings deployment = DeploymentSettings::fromEnvironment();
    ProgramVersion version = ProgramVersion::current();

    HostParameters host;
    // The host's parameter string as the values were read from it: the command line, or after a
    // restart the string taken back from the settings store.
    QString HostArguments;
    std::int16_t RunMode = runmode::Online;
    QString ServerBaseUrl;
    QString ControlKey;
    QString ServerParameter;
    QString SearchDate;
    QString UpdaterPath;
    QString UpdaterVersion;
    QString UpdaterFile;
    UpdaterSeal updaterSeal;
    // The running updater's executable; empty: the one the platform names for this process.
    QString OwnFile;
    bool AbortRequested = false;
    QVariant DialogArg1;
    QVariant DialogArg2;
};

} // namespace upd
