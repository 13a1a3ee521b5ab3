#pragma once

#include "updateserver/catalog.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

namespace upd::server::test {

// A catalog directory in a temporary place, written file by file by the test.
class TempCatalog {
public:
    TempCatalog() { write("files/downloads/lizenz.txt", "Nutzungsbedingungen\r\n"); }

    std::filesystem::path path() const { return dir_.path().toStdString(); }

    void write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path file = path() / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

    void remove(const std::string& relative) const {
        std::filesystem::remove_all(path() / relative);
    }

    // catalog.xml with the given content inside <catalog>.
    void catalog(const std::string& inner) const {
        write("catalog.xml", "<catalog>" + inner + "</catalog>");
    }

    Catalog load() const { return Catalog::load(path()); }

private:
    QTemporaryDir dir_;
};

// An "update" element with every required field; `extra` is added inside it.
inline std::string programUpdate(const std::string& version, const std::string& min,
                                 const std::string& max, const std::string& extra = {}) {
    return "<update><version>" + version + "</version><name>Update " + version + "</name><min>" +
           min + "</min><max>" + max +
           "</max><files>a.zip</files><filestoextract>a.zip</filestoextract><path>u/" + version +
           "</path><start_file>setup.sh</start_file>" + extra + "</update>";
}

} // namespace upd::server::test
