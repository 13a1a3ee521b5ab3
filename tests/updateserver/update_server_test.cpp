#include "core/xml_document.h"
#include "temp_catalog.h"
#include "transfer/archive_password.h"
#include "updateserver/update_server.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <iterator>
#include <mutex>
#include <regex>
#include <thread>

namespace upd::server {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string fileContent(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// The server in-process on a free port of 127.0.0.1, with its access log kept for the test.
class RunningServer {
public:
    explicit RunningServer(Catalog catalog)
        : server_(std::move(catalog), DeploymentSettings::fromEnvironment(),
                  [this](const std::string& line) {
                      std::lock_guard lock(mutex_);
                      log_.push_back(line);
                  }) {
        port_ = server_.start("127.0.0.1", 0);
    }

    // A GET (or HEAD) of `target` exactly as written: nothing is encoded on the way.
    httplib::Result get(const std::string& target, bool head = false) {
        httplib::Client client("127.0.0.1", port_);
        client.set_url_encode(false);
        return head ? client.Head(target.c_str()) : client.Get(target.c_str());
    }

    httplib::Result post(const std::string& target, const std::string& body) {
        httplib::Client client("127.0.0.1", port_);
        client.set_url_encode(false);
        return client.Post(target.c_str(), body, "application/x-www-form-urlencoded");
    }

    // The answer loaded the way the client loads it; its first node must be the root.
    XmlNode xml(const std::string& target) {
        const auto result = get(target);
        EXPECT_TRUE(result);
        if (!result)
            return {};
        EXPECT_EQ(result->status, 200);
        EXPECT_EQ(result->get_header_value("Content-Type"), "text/xml; charset=utf-8");
        EXPECT_TRUE(document_.loadXml(QString::fromUtf8(result->body))) << result->body;
        return document_.firstChild();
    }

    // The log once it has `count` lines: a line is written after its answer has gone out, so
    // lines of requests in quick succession may arrive late and in either order.
    std::vector<std::string> log(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            {
                std::lock_guard lock(mutex_);
                if (log_.size() >= count) {
                    std::vector<std::string> lines = log_;
                    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
                        return a.substr(a.find(' ')) < b.substr(b.find(' '));
                    });
                    return lines;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::lock_guard lock(mutex_);
        return log_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> log_;
    UpdateServer server_;
    int port_ = 0;
    XmlDocument document_;
};

class SampleServer : public ::testing::Test {
protected:
    RunningServer server{Catalog::load(SAMPLE_CATALOG_DIR)};
};

std::vector<QString> texts(const XmlNode& root, const char* name) {
    std::vector<QString> result;
    for (const XmlNode& node : root.getElementsByTagName(QString::fromLatin1(name)))
        result.push_back(node.text());
    return result;
}

std::int16_t decoded(const QString& coded) {
    std::int16_t password = 0;
    std::int32_t errorNumber = 0;
    EXPECT_TRUE(
        DecodeArchivePassword(DeploymentSettings::fromEnvironment(), coded, password, errorNumber))
        << coded.toStdString();
    return password;
}

TEST_F(SampleServer, RootAnswersForTheConnectionTest) {
    const auto result = server.get("/");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
}

TEST_F(SampleServer, ProgramUpdatesFollowTheChainFromTheRequestedVersion) {
    const std::string query = "/update.aspx?VERS=3v1v0&PID=QGR&MID=42&SFA=M%FCller%20%5B0%5D&SNN="
                              "&SVN=&SST=Stra%23e&SPL=A&B&SOR=&REG=&IUVERS=2v1v14";
    XmlNode root = server.xml(query);
    EXPECT_EQ(root.localName(), "updates");
    EXPECT_EQ(texts(root, "version"), (std::vector<QString>{"3.2.0", "3.3.0"}));
    EXPECT_EQ(texts(root, "name"),
              (std::vector<QString>{"Programm-Update 3.2.0", "Programm-Update 3.3.0"}));
    const auto updates = root.getElementsByTagName("update");
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].firstElementText("files"), "qgr-3.2.0.zip;liesmich.txt");
    EXPECT_EQ(updates[0].firstElementText("pw"), "");
    EXPECT_EQ(updates[1].firstElementText("path"), "downloads/qgr/3.3.0");
    EXPECT_EQ(updates[1].firstElementText("new_master_version"), "True");
    EXPECT_EQ(decoded(updates[1].firstElementText("pw")), 4711);
    EXPECT_EQ(root.getElementsByTagName("hardware").size(), 1u);
    EXPECT_EQ(root.getElementsByTagName("password").size(), 0u); // the plain one stays home

    // In the middle of the chain only the rest is offered; at its end nothing.
    root = server.xml("/update.aspx?VERS=3v2v5&PID=QGR");
    EXPECT_EQ(texts(root, "name"), std::vector<QString>{"Programm-Update 3.3.0"});
    root = server.xml("/update.aspx?VERS=3v3v0&PID=QGR");
    EXPECT_EQ(root.localName(), "updates");
    EXPECT_TRUE(root.childNodes().empty());

    root = server.xml("/update.aspx?VERS=4v1v0&PID=QBR");
    EXPECT_EQ(decoded(root.firstElementText("pw")), -1234);
}

TEST_F(SampleServer, ProgramQueryErrorsAreErrorAnswers) {
    const auto expectError = [&](const std::string& target, const QString& number) {
        const XmlNode root = server.xml(target);
        EXPECT_EQ(root.localName(), "error") << target;
        const auto children = root.childNodes();
        ASSERT_GE(children.size(), 2u) << target;
        EXPECT_EQ(children[0].text(), number) << target;
        EXPECT_FALSE(children[1].text().isEmpty()) << target;
    };
    expectError("/update.aspx?VERS=3v1v0&PID=QXY", "500400002");
    expectError("/update.aspx?VERS=3v1v0&PID=qgr", "500400002");
    expectError("/update.aspx?PID=QGR", "500400001");
    expectError("/update.aspx?VERS=3v1&PID=QGR", "500400001");
    expectError("/update.aspx?VERS=3v1v0", "500400001");
    expectError("/update.aspx", "500400001");
    expectError("/dataupdate.aspx?VERS=3v1v0&PID=QGR&DBVers=&MODUS=1", "500400001");
    expectError("/dataupdate.aspx?VERS=3v1v0&PID=QGR&DBVers=&MODUS=0&SEARCHDATE=gestern",
                "500400001");
    expectError("/dataupdate.aspx?VERS=3v1v0&PID=QQ&MODUS=0", "500400002");
}

TEST_F(SampleServer, DataSearchAndDownload) {
    const std::string base = "/dataupdate.aspx?VERS=3v1v0&PID=QGR&MachineID=1&IUVERS=2v1v14";
    XmlNode root = server.xml(base + "&DBVers=2024.01&MODUS=0&KEY=&SEARCHDATE=&SD0=");
    ASSERT_FALSE(root.firstChild().isNull());
    EXPECT_EQ(root.firstChild().localName(), "updatefound");
    EXPECT_FALSE(root.text().isEmpty());

    root = server.xml(base + "&DBVers=2024.06&MODUS=0&KEY=&SEARCHDATE=");
    EXPECT_EQ(root.firstChild().localName(), "updatefound");
    EXPECT_TRUE(root.text().isEmpty());

    // A search date brings back what was published since, whatever the database version.
    root = server.xml(base + "&DBVers=2024.06&MODUS=0&KEY=&SEARCHDATE=1.5.2024");
    EXPECT_FALSE(root.text().isEmpty());
    root = server.xml(base + "&DBVers=2024.06&MODUS=0&KEY=&SEARCHDATE=02.06.2024");
    EXPECT_TRUE(root.text().isEmpty());

    root = server.xml(base + "&DBVers=2024.01&MODUS=2&KEY=&SEARCHDATE=");
    std::vector<QString> sets;
    for (const XmlNode& set : root.childNodes()) {
        ASSERT_TRUE(set.isElement());
        sets.push_back(set.nodeName());
        EXPECT_TRUE(set.firstChild().isElement());
    }
    EXPECT_EQ(sets, (std::vector<QString>{"new_indik", "indik_texte", "new_qg_lexikon_begriffe",
                                          "lexikon_texte", "new_shg", "shg_updates"}));
    EXPECT_THAT(root.firstElementText("Name").toStdString(), HasSubstr("Spannungskopfschmerz"));
    EXPECT_EQ(root.getElementsByTagName("Name")[2].text(), QString::fromUtf8("Übelkeit"));

    root = server.xml(base + "&DBVers=2024.06&MODUS=2&KEY=&SEARCHDATE=");
    EXPECT_TRUE(root.childNodes().empty());
}

TEST_F(SampleServer, InformationPageTakesTheParametersFromThePostBody) {
    auto result = server.post("/dataupdateframe.aspx",
                              "VERS=4v1v0&PID=QBR&MachineID=1&DBVers=2024.01&MODUS=1&KEY=");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_THAT(result->body, HasSubstr("Vitamin K2"));
    EXPECT_THAT(result->body, HasSubstr("Datenstand 2024.06"));

    result = server.post("/dataupdateframe.aspx", "VERS=4v1v0&PID=QBR&DBVers=2024.06&MODUS=1");
    ASSERT_TRUE(result);
    EXPECT_THAT(result->body, HasSubstr("Es sind keine neuen Daten vorhanden."));

    result = server.post("/dataupdateframe.aspx", "VERS=4v1v0&PID=%3Cscript%3E&MODUS=1");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
    EXPECT_THAT(result->body, Not(HasSubstr("<script>")));
}

TEST_F(SampleServer, UpdaterInformationNamesAFileOfThatSize) {
    const XmlNode root = server.xml("/updateproginfo.aspx");
    EXPECT_EQ(root.firstElementText("version"), "2.01.0015");
    const auto target = "/" + root.firstElementText("path").toStdString() + "/" +
                        root.firstElementText("file").toStdString();
    const auto file = server.get(target);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status, 200);
    EXPECT_EQ(QString::number(file->body.size()), root.firstElementText("size"));
}

TEST_F(SampleServer, FilesComeWithTheirLength) {
    const std::filesystem::path files = std::filesystem::path(SAMPLE_CATALOG_DIR) / "files";
    const std::string terms = fileContent(files / "downloads/lizenz.txt");
    auto result = server.get("/downloads/lizenz.txt");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, terms);
    EXPECT_NE(terms.find('\xFC'), std::string::npos); // "ü" as its Windows-1252 byte
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/plain; charset=windows-1252");

    const std::string archive = fileContent(files / "downloads/qgr/3.3.0/qgr-3.3.0.zip");
    result = server.get("/downloads/qgr/3.3.0/qgr-3.3.0.zip");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, archive);
    EXPECT_EQ(result->get_header_value("Content-Length"), std::to_string(archive.size()));

    result = server.get("/downloads/qgr/3.3.0/qgr-3.3.0.zip", true);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Length"), std::to_string(archive.size()));

    result = server.get("/downloads/qgr/3.3.0/fehlt.zip");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
}

TEST_F(SampleServer, NothingOutsideTheFilesDirectoryIsServed) {
    for (const char* target :
         {"/../catalog.xml", "/%2e%2e/catalog.xml", "/%2E%2E/%2e%2e/etc/passwd",
          "/downloads/%2e%2e/%2e%2e/catalog.xml", "/downloads/..%2f..%2fcatalog.xml",
          "/downloads/..%5c..%5ccatalog.xml", "/downloads/./lizenz.txt", "//etc/passwd",
          "/%2fetc/passwd", "/downloads/lizenz.txt%00.zip", "/downloads", "/downloads/",
          "/data/qgr-2024.06.xml", "/catalog.xml"}) {
        const auto result = server.get(target);
        ASSERT_TRUE(result) << target;
        EXPECT_GE(result->status, 400) << target;
        EXPECT_LT(result->status, 500) << target;
        EXPECT_THAT(result->body, Not(HasSubstr("<catalog>"))) << target;
        EXPECT_THAT(result->body, Not(HasSubstr("root:"))) << target;
    }
}

TEST(UpdateServer, LinksLeadingOutOfTheFilesDirectoryAreNotFollowed) {
    test::TempCatalog catalog;
    catalog.catalog("");
    catalog.write("geheim.txt", "geheim");
    std::filesystem::create_directories(catalog.path() / "files/links");
    std::filesystem::create_symlink(catalog.path() / "geheim.txt",
                                    catalog.path() / "files/links/geheim.txt");
    std::filesystem::create_directory_symlink(catalog.path(), catalog.path() / "files/oben");
    RunningServer server(catalog.load());
    for (const char* target : {"/links/geheim.txt", "/oben/geheim.txt", "/oben/catalog.xml"}) {
        const auto result = server.get(target);
        ASSERT_TRUE(result) << target;
        EXPECT_EQ(result->status, 404) << target;
    }
}

TEST_F(SampleServer, HugeOrBrokenRequestsAreRefusedAndTheServerCarriesOn) {
    auto result = server.get("/update.aspx?VERS=3v1v0&PID=QGR&SD0=" + std::string(100000, 'x'));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 414);

    result = server.post("/dataupdateframe.aspx", std::string(200000, 'x'));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 413);

    const XmlNode root = server.xml("/update.aspx?VERS=3v1v0&PID=QGR&SPL=%%%&SD0=%ZZ%");
    EXPECT_EQ(root.localName(), "updates");
}

TEST_F(SampleServer, WritesOneAccessLogLinePerRequest) {
    ASSERT_TRUE(server.get("/update.aspx?VERS=3v1v0&PID=QGR&SNN=M%FCller"));
    ASSERT_TRUE(server.get("/downloads/lizenz.txt"));
    ASSERT_TRUE(server.get("/nix%0Ada"));
    // Sorted by what follows the time stamp: lizenz.txt, nix, update.aspx.
    const auto log = server.log(3);
    ASSERT_EQ(log.size(), 3u);
    const std::regex line(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z (\S+) (\S+) (\d{3}) (\d+) \d+\.\dms)");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(log[2], parts, line)) << log[2];
    EXPECT_EQ(parts[1], "GET");
    EXPECT_EQ(parts[2], "/update.aspx?VERS=3v1v0&PID=QGR&SNN=M%FCller");
    EXPECT_EQ(parts[3], "200");
    ASSERT_TRUE(std::regex_match(log[0], parts, line)) << log[0];
    const std::filesystem::path terms =
        std::filesystem::path(SAMPLE_CATALOG_DIR) / "files/downloads/lizenz.txt";
    EXPECT_EQ(parts[2], "/downloads/lizenz.txt");
    EXPECT_EQ(parts[4], std::to_string(std::filesystem::file_size(terms)));
    ASSERT_TRUE(std::regex_match(log[1], parts, line)) << log[1];
    EXPECT_EQ(parts[2], "/nix%0Ada");
    EXPECT_EQ(parts[3], "404");
}

TEST(UpdateServer, UpdatesFetchedByOtherMeansGiveTheirErrorNumbers) {
    test::TempCatalog catalog;
    for (const char* version : {"1.1.0", "1.3.0"})
        catalog.write(std::string("files/u/") + version + "/a.zip", "zip");
    catalog.write("data/d.xml", "<d><new_indik><r><x/></r></new_indik></d>");
    catalog.catalog("<product code=\"QAR\">" + test::programUpdate("1.1.0", "1.0.0", "1.0.9") +
                    test::programUpdate("1.2.0", "1.1.0", "1.1.9",
                                        "<elsewhere>Bitte CD anfordern.</elsewhere>") +
                    test::programUpdate("1.3.0", "1.2.0", "1.2.9") +
                    "<data><version>2</version><payload>data/d.xml</payload></data>"
                    "<data><version>3</version><payload>data/d.xml</payload><elsewhere/></data>"
                    "</product>");
    RunningServer server(catalog.load());

    // The online part of the chain comes first; once it is installed, the rest is elsewhere.
    XmlNode root = server.xml("/update.aspx?VERS=1v0v5&PID=QAR");
    EXPECT_EQ(texts(root, "version"), std::vector<QString>{"1.1.0"});
    root = server.xml("/update.aspx?VERS=1v1v0&PID=QAR");
    EXPECT_EQ(root.localName(), "error");
    EXPECT_EQ(root.childNodes()[0].text(), "500400011");
    EXPECT_EQ(root.childNodes()[1].text(), "Bitte CD anfordern.");

    root = server.xml("/dataupdate.aspx?VERS=1v0v0&PID=QAR&DBVers=1&MODUS=2");
    EXPECT_EQ(root.childNodes().size(), 1u);
    root = server.xml("/dataupdate.aspx?VERS=1v0v0&PID=QAR&DBVers=2&MODUS=0");
    EXPECT_EQ(root.localName(), "error");
    EXPECT_EQ(root.childNodes()[0].text(), "500400012");
    EXPECT_FALSE(root.childNodes()[1].text().isEmpty()); // the default text
}

} // namespace
} // namespace upd::server
