#include "core/deployment_settings.h"

#include "deployment_defaults.h"

#include <QtGlobal>

namespace upd {
namespace {

void override(QString& value, const char* variable) {
    if (qEnvironmentVariableIsSet(variable))
        value = qEnvironmentVariable(variable);
}

} // namespace

DeploymentSettings DeploymentSettings::compiledDefaults() {
    return DeploymentSettings{
        QString::fromUtf8(defaults::ServerUrl),
        QString::fromUtf8(defaults::ConnectionTestUrl),
        QString::fromUtf8(defaults::UpdaterInfoUrl),
        QString::fromUtf8(defaults::LocalServerUrl),
        QString::fromUtf8(defaults::SupportTelephone),
        QString::fromUtf8(defaults::PasswordConstant1),
        QString::fromUtf8(defaults::PasswordConstant2),
        QString::fromUtf8(defaults::PasswordConstant3),
        QString::fromUtf8(defaults::WorkgroupPassword),
        QString::fromUtf8(defaults::SigningKeys),
    };
}

DeploymentSettings DeploymentSettings::fromEnvironment() {
    DeploymentSettings settings = compiledDefaults();
    override(settings.serverUrl, "QUORLAN_UPDATE_SERVER_URL");
    override(settings.connectionTestUrl, "QUORLAN_UPDATE_CONNECTION_TEST_URL");
    override(settings.updaterInfoUrl, "QUORLAN_UPDATE_INFO_URL");
    override(settings.localServerUrl, "QUORLAN_UPDATE_LOCAL_SERVER_URL");
    override(settings.supportTelephone, "QUORLAN_UPDATE_SUPPORT_TELEPHONE");
    override(settings.passwordConstant1, "QUORLAN_UPDATE_PASSWORD_CONSTANT_1");
    override(settings.passwordConstant2, "QUORLAN_UPDATE_PASSWORD_CONSTANT_2");
    override(settings.passwordConstant3, "QUORLAN_UPDATE_PASSWORD_CONSTANT_3");
    override(settings.workgroupPassword, "QUORLAN_UPDATE_WORKGROUP_PASSWORD");
    override(settings.signingKeys, "QUORLAN_UPDATE_SIGNING_KEYS");
    return settings;
}

ProgramVersion ProgramVersion::current() {
    return {defaults::VersionMajor, defaults::VersionMinor, defaults::VersionRevision};
}

} // namespace upd
