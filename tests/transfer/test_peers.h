#pragma once

// Real peers on 127.0.0.1 beyond the plain HTTP server: slow senders, HTTPS with a test CA, FTP.

#include "support/local_http_server.h"
#include "support/test_files.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <httplib.h>
#include <memory>
#include <stdexcept>

namespace upd::test {

inline void serve(httplib::Server& server, const std::string& path, const std::string& body,
                  const std::string& type = "application/octet-stream") {
    server.Get(path, [=](const httplib::Request&, httplib::Response& res) {
        res.set_content(body, type);
    });
}

// Serves `body` without announcing its size: `first` bytes at once, then `step` bytes every
// `stepMs` milliseconds until the body is out or the client has gone.
inline void serveTrickle(httplib::Server& server, const std::string& path, const std::string& body,
                         std::size_t first, std::size_t step, int stepMs) {
    server.Get(path, [=](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider(
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

// An HTTPS server with a self-signed certificate for 127.0.0.1 made for it, serving in a thread
// of its own. Only clients told to trust `caFile()` accept it.
class LocalHttpsServer {
public:
    LocalHttpsServer() {
        QProcess openssl;
        openssl.setWorkingDirectory(dir_.path());
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"),
                      {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                       "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                       "key.pem", "-out", "ca.pem"});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            throw std::runtime_error("openssl failed: " + openssl.readAll().toStdString());
        server_ =
            std::make_unique<httplib::SSLServer>(file("ca.pem").c_str(), file("key.pem").c_str());
    }
    ~LocalHttpsServer() {
        server_->stop();
        if (thread_.joinable())
            thread_.join();
    }
    httplib::SSLServer& https() { return *server_; }
    void start() {
        port_ = server_->bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        while (!server_->is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string url(const std::string& path) const {
        return "https://127.0.0.1:" + std::to_string(port_) + path;
    }
    QByteArray caFile() const { return QByteArray::fromStdString(file("ca.pem")); }

private:
    std::string file(const char* name) const {
        return dir_.filePath(QLatin1String(name)).toStdString();
    }
    QTemporaryDir dir_;
    std::unique_ptr<httplib::SSLServer> server_;
    std::thread thread_;
    int port_ = 0;
};

// pyftpdlib (anonymous, read-only) serving a directory; it names its port once it listens.
class LocalFtpServer {
public:
    explicit LocalFtpServer(const QString& directory) {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(QStringLiteral("/usr/bin/python3"),
                       {"-m", "pyftpdlib", "-i", "127.0.0.1", "-p", "0", "-d", directory});
        const QRegularExpression listening(
            QStringLiteral(R"(starting FTP server on [\d.]+:(\d+))"));
        QString log;
        while (port_ == 0 && process_.waitForReadyRead(10000)) {
            log += QString::fromLocal8Bit(process_.readAll());
            port_ = listening.match(log).captured(1).toInt();
        }
        if (port_ == 0)
            throw std::runtime_error("the FTP server does not start: " + log.toStdString());
    }
    ~LocalFtpServer() {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished();
    }
    std::string url(const std::string& path) const {
        return "ftp://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    QProcess process_;
    int port_ = 0;
};

} // namespace upd::test
