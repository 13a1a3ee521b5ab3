#include "transfer/test_peers.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace upd::test {
namespace {

void runOpenssl(const QString& directory, const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(directory);
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        throw std::runtime_error("openssl failed: " + openssl.readAll().toStdString());
}

} // namespace

void serve(httplib::Server& server, const std::string& path, const std::string& body,
           const std::string& type) {
    server.Get(path, [body, type](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, type);
    });
}

void serveTrickle(httplib::Server& server, const std::string& path, const std::string& body,
                  std::size_t first, std::size_t step, int stepMs) {
    server.Get(path, [=](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "application/octet-stream", [=](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= body.size()) {
                    sink.done();
                    return true;
                }
                if (offset > 0 || first == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
                const std::size_t size =
                    std::min(offset == 0 && first > 0 ? first : step, body.size() - offset);
                return sink.write(body.data() + offset, size);
            });
    });
}

TestCertificates::TestCertificates() {
    const QString d = dir_.path();
    runOpenssl(d, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=Test CA", "-keyout", "ca.key", "-out", "ca.pem"});
    runOpenssl(d, {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout",
                   "server.key", "-out", "server.csr"});
    QFile extensions(dir_.filePath(QStringLiteral("san.cnf")));
    if (!extensions.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the certificate extensions");
    extensions.write("subjectAltName=IP:127.0.0.1\n");
    extensions.close();
    runOpenssl(d, {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                   "-CAcreateserial", "-days", "2", "-extfile", "san.cnf", "-out", "server.pem"});
}

LocalHttpsServer::LocalHttpsServer(const TestCertificates& certificates)
    : server_(std::make_unique<httplib::SSLServer>(
          certificates.certificateFile().toLocal8Bit().constData(),
          certificates.keyFile().toLocal8Bit().constData())) {
    if (!server_->is_valid())
        throw std::runtime_error("the test certificate does not load");
}

LocalHttpsServer::~LocalHttpsServer() {
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
}

void LocalHttpsServer::start() {
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("cannot bind a local HTTPS server");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string LocalHttpsServer::url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

LocalFtpServer::LocalFtpServer(const QString& directory) {
    // Debian's interpreter, which has the packaged pyftpdlib; the server names its port once it
    // listens.
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   {"-m", "pyftpdlib", "-i", "127.0.0.1", "-p", "0", "-d", directory});
    const QRegularExpression listening(QStringLiteral(R"(starting FTP server on [\d.]+:(\d+))"));
    QString log;
    while (port_ == 0 && process_.waitForReadyRead(10000)) {
        log += QString::fromLocal8Bit(process_.readAll());
        port_ = listening.match(log).captured(1).toInt();
    }
    if (port_ == 0)
        throw std::runtime_error("the FTP server does not start: " + log.toStdString());
}

LocalFtpServer::~LocalFtpServer() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished();
    }
}

std::string LocalFtpServer::url(const std::string& path) const {
    return "ftp://127.0.0.1:" + std::to_string(port_) + path;
}

} // namespace upd::test
