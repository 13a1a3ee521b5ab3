#pragma once

#include "core/xml_document.h"
#include "dataupdate/install_sink.h"

#include <QSqlDatabase>
#include <QString>

namespace upd::dataupdate {

// The table procedures: each writes the records of one set's container into its table of the
// open product database. They start with an empty errText and return true exactly when it is
// still empty at their end: "Datensatz fehlerhaft." for a record without its keys (the set goes
// on), "modDataUpdate: " and a description for a run-time error (the set stops, except for the
// self-help groups, which go on with the next step). The record progress goes to the sink.
using TableProcedure = bool (*)(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                DataInstallSink& sink);

// Term tables: insert the terms the database lacks, leave existing ones alone.
bool InstallNeueIndikationen(QSqlDatabase& db, const XmlNode& container, QString& errText,
                             DataInstallSink& sink);
bool InstallNeueNaehrstoffBegriffe(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                   DataInstallSink& sink);
bool InstallNeueLaborwerte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                           DataInstallSink& sink);
bool InstallNeueQGLexikonBegriffe(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                  DataInstallSink& sink);

// Self-help groups ("new_shg" and "shg_updates"): insert or overwrite every field.
bool InstallNeueSHG(QSqlDatabase& db, const XmlNode& container, QString& errText,
                    DataInstallSink& sink);

// Text tables: insert new texts, overwrite existing ones; lexicon texts join their sections.
bool InstallNeueIndikationsTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                 DataInstallSink& sink);
bool InstallNeueNaehrstoffTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                DataInstallSink& sink);
bool InstallNeueLaborwerteTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                DataInstallSink& sink);
bool InstallNeueLexikonTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                             DataInstallSink& sink);

} // namespace upd::dataupdate
