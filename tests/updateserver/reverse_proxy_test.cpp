// Two server programs behind nginx, configured with the configuration the documentation gives:
// searches reach either instance, files come from nginx itself.

#include "raw_http_client.h"
#include "server_fixture.h"
#include "support/local_http_server.h"

#include <QDir>
#include <QStandardPaths>
#include <QThread>
#include <fstream>

namespace {

using namespace upd::server::test;

TEST(ReverseProxy, SearchesReachEitherInstanceAndNginxServesTheFiles) {
    const QString nginx =
        QStandardPaths::findExecutable("nginx", {"/usr/sbin", "/usr/local/sbin", "/usr/bin"});
    if (nginx.isEmpty())
        GTEST_SKIP() << "nginx is not installed (scripts/install-deps installs it)";

    ServerProgram first({"--connections-per-address", "0"}),
        second({"--connections-per-address", "0"});
    // The access log so far.
    const auto log = [](ServerProgram& instance) {
        instance.process.waitForReadyRead(200);
        return QString::fromUtf8(instance.process.readAllStandardOutput());
    };
    ASSERT_GT(first.port, 0);
    ASSERT_GT(second.port, 0);

    // The documented configuration with this test's addresses and catalog.
    QTemporaryDir dir;
    const int port = upd::test::closedLocalPort();
    const QString files = QDir(SAMPLE_CATALOG_DIR "/files").canonicalPath();
    QString site = QString::fromStdString(readFile(NGINX_SITE_CONFIG));
    ASSERT_FALSE(site.isEmpty());
    site.replace("127.0.0.1:8471", QStringLiteral("127.0.0.1:%1").arg(first.port))
        .replace("127.0.0.1:8472", QStringLiteral("127.0.0.1:%1").arg(second.port))
        .replace("listen 80;", QStringLiteral("listen 127.0.0.1:%1;").arg(port))
        .replace("/srv/quorlan-update/catalog/files", files);
    const std::string root = dir.path().toStdString();
    {
        std::ofstream(root + "/site.conf") << site.toStdString();
        std::ofstream conf(root + "/nginx.conf");
        conf << "daemon off;\nmaster_process off;\nerror_log " << root << "/error.log;\npid "
             << root
             << "/nginx.pid;\nevents { worker_connections 256; }\nhttp {\n  access_log off;\n";
        for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
            conf << "  " << temp << "_temp_path " << root << "/" << temp << ";\n";
        conf << "  include " << root << "/site.conf;\n}\n";
    }
    QProcess proxy;
    proxy.start(nginx, {"-p", dir.path(), "-e", dir.filePath("error.log"), "-c",
                        dir.filePath("nginx.conf")});
    ASSERT_TRUE(proxy.waitForStarted(5000));
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    for (int attempt = 0; attempt < 100 && !client.Get("/"); ++attempt)
        QThread::msleep(20);

    // Searches: answered through the proxy, spread over both instances.
    for (int i = 0; i < 20; ++i) {
        const auto result = client.Get("/update.aspx?VERS=3v1v0&PID=QGR&SNN=M%FCller");
        ASSERT_TRUE(result) << readFile(dir.filePath("error.log").toStdString());
        EXPECT_EQ(result->status, 200);
        EXPECT_NE(result->body.find("<version>3.3.0</version>"), std::string::npos);
    }
    EXPECT_TRUE(log(first).contains("GET /update.aspx?VERS=3v1v0&PID=QGR&SNN=M%FCller 200"));
    EXPECT_TRUE(log(second).contains("GET /update.aspx?VERS=3v1v0&PID=QGR&SNN=M%FCller 200"));

    // Files come from nginx, whole or in one range; nothing outside files/; the instances never
    // see them.
    const std::string terms = readFile((files + "/downloads/lizenz.txt").toStdString());
    const auto whole = client.Get("/downloads/lizenz.txt");
    const auto part = client.Get("/downloads/lizenz.txt", {{"Range", "bytes=0-9"}});
    ASSERT_TRUE(whole && part);
    EXPECT_EQ(whole->body, terms);
    EXPECT_EQ(whole->get_header_value("Content-Type"), "text/plain; charset=windows-1252");
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, terms.substr(0, 10));
    EXPECT_EQ(client.Get("/catalog.xml")->status, 404);
    EXPECT_FALSE((log(first) + log(second)).contains("lizenz.txt"));

    proxy.kill();
    proxy.waitForFinished(5000);
}

} // namespace
