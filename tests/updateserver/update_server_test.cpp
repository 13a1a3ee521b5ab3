// The server in-process: the answers and files the end-to-end tests in tests/wizard/, tests/app/
// and tests/ui/ do not meet.

#include "server_fixture.h"

#include <gmock/gmock.h>

namespace upd::server {
namespace {

using test::RunningServer;
using ::testing::HasSubstr;
using ::testing::Not;

// An answer in short: the root's name, then the version of each update, the error number (and
// whether a description follows), whether a data update was found, or the names of the sets.
std::string outline(const XmlNode& root) {
    std::string result = root.localName().toStdString();
    for (const XmlNode& child : root.childNodes()) {
        const std::string name = child.nodeName().toStdString();
        if (name == "update")
            result += " " + child.firstElementText("version").toStdString();
        else if (name == "number" || name == "updatefound")
            result += " " + name + "=" + child.text().toStdString();
        else if (name == "description")
            result += child.text().isEmpty() ? " no description" : "";
        else
            result += " " + name;
    }
    return result;
}

void expectOutlines(RunningServer& server,
                    const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [target, expected] : cases)
        EXPECT_EQ(outline(server.xml(target)), expected) << target;
}

TEST(SampleServer, PagesAnswerEveryRequestWithTheDocumentedAnswer) {
    RunningServer server(Catalog::load(SAMPLE_CATALOG_DIR));
    const std::string data = "/dataupdate.aspx?VERS=3v1v0&PID=QGR&MachineID=1&IUVERS=2v1v14&KEY=";
    const std::string malformed = "error number=500400001";
    expectOutlines(
        server,
        {
            // The chain from the requested version on; odd values of the client do not disturb.
            {"/update.aspx?VERS=3v1v0&PID=QGR&SFA=M%FCller%20%5B0%5D&SST=Stra%23e&SPL=A&B"
             "&SNN=&REG=%%%&SD0=%ZZ%",
             "updates 3.2.0 3.3.0 hardware"},
            {"/update.aspx?VERS=3v2v5&PID=QGR", "updates 3.3.0 hardware"},
            {"/update.aspx?VERS=3v1v0&PID=QXY", "error number=500400002"},
            {"/update.aspx?PID=QGR", malformed},
            // A search date brings back what was published since, whatever the database version.
            {data + "&DBVers=2024.06&MODUS=0&SEARCHDATE=1.5.2024", "dataupdate updatefound=1"},
            {data + "&DBVers=2024.06&MODUS=0&SEARCHDATE=02.06.2024", "dataupdate updatefound="},
            {data + "&DBVers=2024.01&MODUS=2&SEARCHDATE=",
             "dataupdate new_indik indik_texte new_qg_lexikon_begriffe lexikon_texte new_shg "
             "shg_updates"},
            {data + "&DBVers=2024.06&MODUS=2&SEARCHDATE=", "dataupdate"},
            {data + "&DBVers=&MODUS=1", malformed},
            {data + "&DBVers=&MODUS=0&SEARCHDATE=gestern", malformed},
        });
    // The updater's information names the size of its file as served.
    EXPECT_EQ(server.xml("/updateproginfo.aspx").firstElementText("size").toStdString(),
              std::to_string(server.get("/downloads/updater/quorlan-update")->body.size()));
    // The payload goes out in UTF-8; the plain archive password never leaves the server.
    EXPECT_THAT(server.get(data + "&DBVers=2024.01&MODUS=2")->body, HasSubstr("Übelkeit"));
    EXPECT_THAT(server.get("/update.aspx?VERS=3v2v5&PID=QGR")->body, Not(HasSubstr("<password>")));
    // The information page reads the POST body and echoes nothing of a hostile product code.
    for (const auto& [body, status, shown] :
         {std::tuple{"VERS=4v1v0&PID=QBR&DBVers=2024.06&MODUS=1", 200,
                     "Es sind keine neuen Daten vorhanden."},
          std::tuple{"VERS=4v1v0&PID=%3Cscript%3E&MODUS=1", 404, ""}}) {
        const auto result = server.client().Post("/dataupdateframe.aspx", body,
                                                 "application/x-www-form-urlencoded");
        ASSERT_TRUE(result) << body;
        EXPECT_EQ(result->status, status) << body;
        EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8");
        EXPECT_THAT(result->body, HasSubstr(shown));
        EXPECT_THAT(result->body, Not(HasSubstr("<script>")));
    }
}

TEST(SampleServer, FilesComeWholeOrInOneRangeAndNothingOutsideTheFilesDirectory) {
    RunningServer server(Catalog::load(SAMPLE_CATALOG_DIR));
    const std::string target = "/downloads/qgr/3.3.0/qgr-3.3.0.zip";
    const std::string file = test::readFile(SAMPLE_CATALOG_DIR "/files" + target);
    const std::string size = std::to_string(file.size());
    const struct {
        httplib::Headers headers;
        int status;
        std::string body;
        std::string contentRange;
    } cases[] = {
        {{}, 200, file, ""},
        {{{"Range", "bytes=100-199"}}, 206, file.substr(100, 100), "bytes 100-199/" + size},
        {{{"Range", "bytes=" + size + "-"}}, 416, "", "bytes */" + size},
        // A validator the server cannot check: the whole file.
        {{{"Range", "bytes=0-9"}, {"If-Range", "\"abc\""}}, 200, file, ""},
    };
    for (const auto& c : cases) {
        const auto result = server.get(target, c.headers);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        EXPECT_EQ(result->status == 416 ? "" : result->body, c.body);
        EXPECT_EQ(result->get_header_value("Content-Range"), c.contentRange);
    }
    EXPECT_EQ(server.get("/downloads/lizenz.txt")->get_header_value("Content-Type"),
              "text/plain; charset=windows-1252");

    for (const char* outside :
         {"/downloads/qgr/3.3.0/fehlt.zip", "/../catalog.xml", "/%2e%2e/catalog.xml",
          "/downloads/..%5c..%5ccatalog.xml", "/downloads/./lizenz.txt", "//etc/passwd",
          "/downloads/lizenz.txt%00.zip", "/downloads", "/catalog.xml"}) {
        const auto result = server.get(outside);
        ASSERT_TRUE(result);
        EXPECT_TRUE(result->status >= 400 && result->status < 500) << outside;
        EXPECT_THAT(result->body, Not(HasSubstr("<catalog>")));
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
    for (const char* target : {"/links/geheim.txt", "/oben/geheim.txt", "/oben/catalog.xml"})
        EXPECT_EQ(server.get(target)->status, 404) << target;
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
    expectOutlines(server, {
                               {"/update.aspx?VERS=1v0v5&PID=QAR", "updates 1.1.0"},
                               {"/update.aspx?VERS=1v1v0&PID=QAR", "error number=500400011"},
                               {"/dataupdate.aspx?VERS=1v0v0&PID=QAR&DBVers=1&MODUS=2",
                                "dataupdate new_indik"},
                               {"/dataupdate.aspx?VERS=1v0v0&PID=QAR&DBVers=2&MODUS=0",
                                "error number=500400012"}, // with the standard text
                           });
    EXPECT_EQ(server.xml("/update.aspx?VERS=1v1v0&PID=QAR").firstElementText("description"),
              "Bitte CD anfordern.");
}

} // namespace
} // namespace upd::server
