#pragma once

#include <QString>

namespace upd {

// Where this installation of the updater finds its server, the secrets it shares with it and the
// keys it knows the maker's signatures by.
// Compiled-in defaults (CMake cache variables), each overridable by an environment variable.
struct DeploymentSettings {
    QString serverUrl;         // QUORLAN_UPDATE_SERVER_URL
    QString connectionTestUrl; // QUORLAN_UPDATE_CONNECTION_TEST_URL
    QString updaterInfoUrl;    // QUORLAN_UPDATE_INFO_URL
    QString localServerUrl;    // QUORLAN_UPDATE_LOCAL_SERVER_URL
    QString supportTelephone;  // QUORLAN_UPDATE_SUPPORT_TELEPHONE
    QString passwordConstant1; // QUORLAN_UPDATE_PASSWORD_CONSTANT_1 (31 digits)
    QString passwordConstant2; // QUORLAN_UPDATE_PASSWORD_CONSTANT_2 (59 digits)
    QString passwordConstant3; // QUORLAN_UPDATE_PASSWORD_CONSTANT_3 (42 digits)
    QString workgroupPassword; // QUORLAN_UPDATE_WORKGROUP_PASSWORD (four character codes)
    // QUORLAN_UPDATE_SIGNING_KEYS: the maker's Ed25519 public keys; empty: nothing is checked.
    QString signingKeys;

    // The compiled-in values only.
    static DeploymentSettings compiledDefaults();
    // The compiled-in values with the environment's overrides applied.
    static DeploymentSettings fromEnvironment();
};

// The updater's own version, from the build.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;

    static ProgramVersion current();
};

} // namespace upd
