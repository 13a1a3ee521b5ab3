#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <httplib.h>
#include <memory>
#include <string>
#include <thread>

namespace upd::test {

// Answers GET requests of `path` with `body`, announcing its size.
void serve(httplib::Server& server, const std::string& path, const std::string& body,
           const std::string& type = "application/octet-stream");

// Answers GET requests of `path` with `body`, its size not announced: `first` bytes at once, then
// `step` bytes every `stepMs` milliseconds until the body is out or the client has gone.
void serveTrickle(httplib::Server& server, const std::string& path, const std::string& body,
                  std::size_t first, std::size_t step, int stepMs);

// A CA and a server certificate for 127.0.0.1 signed by it, made with openssl for one test.
class TestCertificates {
public:
    TestCertificates();
    QString caFile() const { return dir_.filePath(QStringLiteral("ca.pem")); }
    QString certificateFile() const { return dir_.filePath(QStringLiteral("server.pem")); }
    QString keyFile() const { return dir_.filePath(QStringLiteral("server.key")); }

private:
    QTemporaryDir dir_;
};

// An HTTPS server on 127.0.0.1 with an ephemeral port and the test certificate.
class LocalHttpsServer {
public:
    explicit LocalHttpsServer(const TestCertificates& certificates);
    ~LocalHttpsServer();
    httplib::SSLServer& https() { return *server_; }
    void start();
    std::string url(const std::string& path) const;

private:
    std::unique_ptr<httplib::SSLServer> server_;
    std::thread thread_;
    int port_ = 0;
};

// A real FTP server (pyftpdlib, anonymous, read-only) on 127.0.0.1 serving a directory.
class LocalFtpServer {
public:
    explicit LocalFtpServer(const QString& directory);
    ~LocalFtpServer();
    std::string url(const std::string& path) const;

private:
    QProcess process_;
    int port_ = 0;
};

} // namespace upd::test
