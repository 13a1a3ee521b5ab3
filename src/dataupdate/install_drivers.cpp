#include "dataupdate/install_drivers.h"

#include "core/runtime_error.h"
#include "dataupdate/table_procedures.h"

#include <vector>

namespace upd::dataupdate {
namespace {

const QString NewLine = QStringLiteral("\r\n");

struct SetHandler {
    QString setName;
    QString logLine;
    TableProcedure procedure;
};

// The set names of each family, in the order they are tested.
const std::vector<SetHandler>& indikLexikonShgSets() {
    static const std::vector<SetHandler> sets = {
        {QStringLiteral("new_indik"), QStringLiteral(" Übertrage die neuen Indikationen ..."),
         InstallNeueIndikationen},
        {QStringLiteral("indik_texte"), QStringLiteral(" Übertrage die neuen Indikationstexte ..."),
         InstallNeueIndikationsTexte},
        {QStringLiteral("new_qg_lexikon_begriffe"),
         QStringLiteral(" Übertrage die neuen Lexikon-Begriffe ..."), InstallNeueQGLexikonBegriffe},
        {QStringLiteral("lexikon_texte"), QStringLiteral(" Übertrage die neuen Lexikontexte ..."),
         InstallNeueLexikonTexte},
        {QStringLiteral("new_shg"), QStringLiteral(" Übertrage die neuen Selbsthilfegruppen ..."),
         InstallNeueSHG},
        {QStringLiteral("shg_updates"),
         QStringLiteral(" Übertrage die neuen Selbsthilfegruppen-Daten ..."), InstallNeueSHG},
    };
    return sets;
}

const std::vector<SetHandler>& naehrstoffSets() {
    static const std::vector<SetHandler> sets = {
        {QStringLiteral("new_naehrst"), QStringLiteral(" Übertrage die neuen Nährstoffe ..."),
         InstallNeueNaehrstoffBegriffe},
        {QStringLiteral("naehrst_texte"), QStringLiteral(" Übertrage die neuen Nährstofftexte ..."),
         InstallNeueNaehrstoffTexte},
    };
    return sets;
}

const std::vector<SetHandler>& indikLaborwerteSets() {
    static const std::vector<SetHandler> sets = {
        {QStringLiteral("new_indik"), QStringLiteral(" Übertrage die neuen Indikationen ..."),
         InstallNeueIndikationen},
        {QStringLiteral("indik_texte"), QStringLiteral(" Übertrage die neuen Indikationstexte ..."),
         InstallNeueIndikationsTexte},
        {QStringLiteral("new_laborw"), QStringLiteral(" Übertrage die neuen Laborwerte ..."),
         InstallNeueLaborwerte},
        {QStringLiteral("laborw_texte"),
         QStringLiteral(" Übertrage die neuen Laborwerte-Texte ..."), InstallNeueLaborwerteTexte},
    };
    return sets;
}

const SetHandler* handlerFor(const std::vector<SetHandler>& sets, const QString& name) {
    for (const SetHandler& handler : sets)
        if (handler.setName == name)
            return &handler;
    return nullptr;
}

// Walks the payload's sets. A set procedure's failure returns false with its text; a malformed
// payload is a run-time error.
bool installSets(const std::vector<SetHandler>& sets, ProductDatabase& database,
                 const XmlNode& payloadRoot, DataInstallSink& sink, QString& errText) {
    if (payloadRoot.isNull())
        throw RuntimeError(errnum::ObjectNotSet);
    if (!payloadRoot.isElement())
        throw RuntimeError(errnum::TypeMismatch);
    for (const XmlNode& set : payloadRoot.childNodes()) {
        if (!set.isElement())
            throw RuntimeError(errnum::TypeMismatch);
        const SetHandler* handler = handlerFor(sets, set.nodeName());
        if (handler == nullptr)
            continue;
        const XmlNode container = set.firstChild();
        if (container.isNull())
            throw RuntimeError(errnum::ObjectNotSet);
        if (container.firstChild().isNull())
            continue;
        sink.appendLog(NewLine + handler->logLine);
        database.beginSet();
        const bool written = handler->procedure(database.database(), container, errText, sink);
        database.commitSet();
        if (!written)
            return false;
        sink.appendLog(QStringLiteral(" OK"));
    }
    return true;
}

bool runDriver(const std::vector<SetHandler>& sets, const DatabaseLocation& location,
               const XmlNode& payloadRoot, DataInstallSink& sink, QString& errText) {
    sink.appendLog(QStringLiteral(" Öffne Programm-Datenbank ..."));
    ProductDatabase database;
    if (!database.open(location, errText))
        return false;
    sink.appendLog(QStringLiteral(" OK"));

    bool written = false;
    try {
        written = installSets(sets, database, payloadRoot, sink, errText);
    } catch (const RuntimeError& error) {
        // Unlike the hosts' import, a malformed payload does not leave the database open.
        errText = QStringLiteral("modDataUpdate: ") + error.description();
        QString closingText;
        database.close(closingText);
        return false;
    }
    if (!written) {
        QString closingText; // a closing error must not replace the set's text
        database.close(closingText);
        return false;
    }

    sink.appendLog(NewLine + QStringLiteral(" Schließe Programm-Datenbank ..."));
    if (!database.close(errText))
        return false;
    sink.appendLog(QStringLiteral(" OK"));
    sink.appendLog(NewLine + QStringLiteral(" Installation beendet."));
    return true;
}

} // namespace

bool InstallUpdateIndikLexikonSHG(const DatabaseLocation& location, const XmlNode& payloadRoot,
                                  DataInstallSink& sink, QString& errText) {
    return runDriver(indikLexikonShgSets(), location, payloadRoot, sink, errText);
}

bool InstallUpdateNaehrstoffe(const DatabaseLocation& location, const XmlNode& payloadRoot,
                              DataInstallSink& sink, QString& errText) {
    return runDriver(naehrstoffSets(), location, payloadRoot, sink, errText);
}

bool InstallUpdateIndikLaborwerte(const DatabaseLocation& location, const XmlNode& payloadRoot,
                                  DataInstallSink& sink, QString& errText) {
    return runDriver(indikLaborwerteSets(), location, payloadRoot, sink, errText);
}

InstallDriver driverFor(const QString& progId) {
    if (progId == QLatin1String("QGR") || progId == QLatin1String("QHR"))
        return InstallUpdateIndikLexikonSHG;
    if (progId == QLatin1String("QBR"))
        return InstallUpdateNaehrstoffe;
    if (progId == QLatin1String("QAR") || progId == QLatin1String("QJRK"))
        return InstallUpdateIndikLaborwerte;
    return nullptr;
}

} // namespace upd::dataupdate
