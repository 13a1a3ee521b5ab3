#pragma once

#include <QString>
#include <optional>

namespace upd::dataupdate::sample {

// The product families, each with the tables its installation driver writes.
enum class ProductFamily { IndikLexikonShg, Naehrstoffe, IndikLaborwerte };

// The family of a product code ("QGR", "QHR", "QBR", "QAR", "QJRK"), compared exactly.
std::optional<ProductFamily> familyOf(const QString& progId);

// Creates a host database at `path` (replacing a file there) with the tables of `family` and the
// text blocks the texts refer to; with `withSampleRows`, a few terms, texts and self-help groups
// of its own, as a host installation has them. RuntimeError on failure.
void createSampleDatabase(const QString& path, ProductFamily family, bool withSampleRows);

// A whole sample host installation in `directory`: the database `dbName` and the workgroup file
// "SYSTEM.MDW" whose user "quorlanDesigner" has `workgroupPassword`.
void createSampleHost(const QString& directory, const QString& dbName, ProductFamily family,
                      const QString& workgroupPassword, bool withSampleRows);

} // namespace upd::dataupdate::sample
