#pragma once

#include "core/xml_document.h"
#include "updateserver/catalog.h"
#include "updateserver/update_server.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <iterator>
#include <string>

namespace upd::server::test {

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

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

// The server in-process on a free port of 127.0.0.1.
struct RunningServer {
    explicit RunningServer(Catalog catalog, ServerLimits limits = {})
        : server(std::move(catalog), DeploymentSettings::fromEnvironment(), nullptr, limits),
          port(server.start("127.0.0.1", 0)) {}

    // A request for `target` exactly as written: nothing is encoded on the way.
    httplib::Client client() const {
        httplib::Client client("127.0.0.1", port);
        client.set_url_encode(false);
        return client;
    }
    httplib::Result get(const std::string& target, const httplib::Headers& headers = {}) const {
        return client().Get(target, headers);
    }
    // The answer loaded the way the client loads it; its first node must be the root.
    XmlNode xml(const std::string& target) {
        const auto result = get(target);
        EXPECT_TRUE(result && result->status == 200) << target;
        if (!result)
            return {};
        EXPECT_EQ(result->get_header_value("Content-Type"), "text/xml; charset=utf-8");
        EXPECT_TRUE(document.loadXml(QString::fromUtf8(result->body))) << result->body;
        return document.firstChild();
    }

    UpdateServer server;
    int port;
    XmlDocument document;
};

} // namespace upd::server::test
