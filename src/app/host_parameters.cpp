#include "app/host_parameters.h"

#include "core/error_catalogue.h"
#include "core/numeric.h"
#include "core/runtime_error.h"

#include <QStringList>
#include <map>
#include <vector>

namespace upd {
namespace {

struct HostArg {
    QString key;
    QString value;
};

bool isRestartForm(const QStringList& items) {
    return items.size() == 1 && items[0].left(6).toUpper() == QStringLiteral("START=") &&
           numeric::toInt16(QStringView(items[0]).mid(6)) == runmode::Restart;
}

std::vector<HostArg> splitItems(const QString& parameterString) {
    std::vector<HostArg> rows;
    for (const QString& item : parameterString.split(u'#')) {
        // An empty item has no key part.
        if (item.isEmpty())
            throw RuntimeError(errnum::SubscriptOutOfRange);
        const QStringList parts = item.split(u'=');
        rows.push_back({parts[0], parts.size() == 2 ? parts[1] : QString()});
    }
    return rows;
}

void storeValue(Session& session, const HostArg& row) {
    HostParameters& h = session.host;
    static const std::map<QString, QString HostParameters::*> textKeys = {
        {QStringLiteral("AppName"), &HostParameters::AppName},
        {QStringLiteral("ExeVers"), &HostParameters::ExeVers},
        {QStringLiteral("ExePath"), &HostParameters::ExePath},
        {QStringLiteral("ProgID"), &HostParameters::ProgID},
        {QStringLiteral("MachineID"), &HostParameters::MachineID},
        {QStringLiteral("ExeName"), &HostParameters::ExeName},
        {QStringLiteral("SFA"), &HostParameters::SFA},
        {QStringLiteral("SNN"), &HostParameters::SNN},
        {QStringLiteral("SVN"), &HostParameters::SVN},
        {QStringLiteral("SPL"), &HostParameters::SPL},
        {QStringLiteral("SST"), &HostParameters::SST},
        {QStringLiteral("SOR"), &HostParameters::SOR},
        {QStringLiteral("REG"), &HostParameters::REG},
        {QStringLiteral("ExtAppName"), &HostParameters::ExtAppName},
        {QStringLiteral("DBVers"), &HostParameters::DBVers},
        {QStringLiteral("DBName"), &HostParameters::DBName},
    };
    if (row.key == QStringLiteral("Hwnd")) {
        h.Hwnd = numeric::toInt32(row.value);
    } else if (row.key == QStringLiteral("START")) {
        session.RunMode = numeric::toInt16(row.value);
    } else if (const auto field = textKeys.find(row.key); field != textKeys.end()) {
        h.*(field->second) = row.value;
    } else {
        for (std::size_t i = 0; i < h.SD.size(); ++i) {
            if (row.key == QStringLiteral("SD") + QString::number(i))
                h.SD[i] = row.value;
        }
    }
}

} // namespace

ParseOutcome ParseHostParameters(Session& session, const QString& commandLine, SettingsStore& store,
                                 Prompts& prompts) {
    if (commandLine.isEmpty()) {
        prompts.critical(
            QStringLiteral("UNEXPECTED SYSEM ERROR: %1").arg(errcode::MalformedParameters));
        return {};
    }

    ParseOutcome outcome;
    QString parameterString = commandLine;
    if (isRestartForm(commandLine.split(u'#'))) {
        parameterString = store.read(ConfigApplication, ConfigSection, ParkedArgumentsKey);
        if (parameterString.isEmpty()) {
            prompts.critical(
                QStringLiteral("UNEXPECTED SYSEM ERROR: %1").arg(errcode::MissingParkedParameters));
            return {};
        }
        store.remove(ConfigApplication, ConfigSection, ParkedArgumentsKey);
        outcome.restoredFromStore = parameterString;
    }

    const std::vector<HostArg> hostArgs = splitItems(parameterString);
    if (hostArgs.size() == 1) {
        prompts.critical(
            QStringLiteral("UNEXPECTED SYSTEM ERROR: %1").arg(errcode::MalformedParameters));
        return outcome;
    }
    for (const HostArg& row : hostArgs)
        storeValue(session, row);
    session.HostArguments = parameterString;
    outcome.proceed = true;
    return outcome;
}

} // namespace upd
