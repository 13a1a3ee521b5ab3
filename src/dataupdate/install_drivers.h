#pragma once

#include "core/xml_document.h"
#include "dataupdate/install_sink.h"
#include "dataupdate/product_database.h"

#include <QString>

namespace upd::dataupdate {

// The installation drivers, one per product family. Each opens the product database, hands every
// set of the payload that it knows to the set's table procedure inside one transaction, writes
// the installation log through the sink and closes the database on every way out. True when
// every set was written and the database closed; otherwise errText holds the cause.
bool InstallUpdateIndikLexikonSHG(const DatabaseLocation& location, const XmlNode& payloadRoot,
                                  DataInstallSink& sink, QString& errText);
bool InstallUpdateNaehrstoffe(const DatabaseLocation& location, const XmlNode& payloadRoot,
                              DataInstallSink& sink, QString& errText);
bool InstallUpdateIndikLaborwerte(const DatabaseLocation& location, const XmlNode& payloadRoot,
                                  DataInstallSink& sink, QString& errText);

// The driver of a product code, compared exactly ("QGR", "QHR", "QBR", "QAR", "QJRK"), or null.
using InstallDriver = bool (*)(const DatabaseLocation&, const XmlNode&, DataInstallSink&, QString&);
InstallDriver driverFor(const QString& progId);

} // namespace upd::dataupdate
