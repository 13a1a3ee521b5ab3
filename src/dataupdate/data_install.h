#pragma once

#include "core/xml_document.h"
#include "dataupdate/install_sink.h"
#include "dataupdate/product_database.h"

#include <QString>

namespace upd::dataupdate {

struct DataInstallOutcome {
    bool succeeded = false;
    // Why it failed: "Programm-Datenbank-Name unbekannt!", "Programm-Datenbank-Verzeichnis
    // unbekannt!", "Datensatz fehlerhaft." or "modDataUpdate: " and a description; empty for a
    // product code without a driver.
    QString errText;
};

// Writes a downloaded data payload into the host's database with the driver of `progId`
// (compared exactly). `payloadRoot` is the payload document's first child. The host must be
// closed before; the window shows the outcome.
DataInstallOutcome installDataPayload(const DatabaseLocation& location, const QString& progId,
                                      const XmlNode& payloadRoot, DataInstallSink& sink);

} // namespace upd::dataupdate
