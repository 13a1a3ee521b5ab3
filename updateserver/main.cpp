// quorlan-update-server --catalog DIR [--listen HOST:PORT] [--connections-per-address N]
//                       [--signing-key FILE]
// quorlan-update-server --generate-key FILE
//
// Serves the update catalog in DIR to the update client. Port 0 picks a free port. The first
// line on standard output names the address ("listening on http://127.0.0.1:8470"); every
// request then adds one access log line. Behind a reverse proxy every connection comes from the
// proxy: "--connections-per-address 0" lifts that limit there. With a signing key the updates,
// the updater and the data payloads are signed. "--generate-key" writes a new key file and prints
// its public key, the value of the updater's key setting.

#include "core/deployment_settings.h"
#include "updateserver/catalog.h"
#include "updateserver/catalog_signing.h"
#include "updateserver/signing_key.h"
#include "updateserver/update_server.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <sys/resource.h>

namespace {

constexpr const char* DefaultListen = "127.0.0.1:8470";

struct Options {
    std::string catalog;
    std::string signingKey;
    std::string generateKey;
    std::string host;
    int port = 0;
    upd::server::ServerLimits limits;
};

int usage(const std::string& problem) {
    std::cerr << "quorlan-update-server: " << problem << "\n"
              << "Aufruf: quorlan-update-server --catalog VERZEICHNIS [--listen HOST:PORT]\n"
              << "        [--connections-per-address N] [--signing-key SCHLÜSSELDATEI]\n"
              << "        quorlan-update-server --generate-key SCHLÜSSELDATEI\n"
              << "        (Vorgabe für --listen: " << DefaultListen << ", Port 0 = freier Port;\n"
              << "        für --connections-per-address: "
              << upd::server::ServerLimits().connectionsPerAddress << ", 0 = unbegrenzt)\n";
    return 2;
}

// "HOST:PORT" with a port from 0 to 65535.
bool splitListen(const std::string& text, Options& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    const std::string port = text.substr(colon + 1);
    if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    options.host = text.substr(0, colon);
    options.port = std::stoi(port);
    return options.port <= 65535;
}

std::optional<Options> parse(int argc, char** argv, std::string& problem) {
    Options options;
    std::string listen = DefaultListen;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--catalog" || argument == "--listen") && i + 1 < argc) {
            (argument == "--catalog" ? options.catalog : listen) = argv[++i];
        } else if ((argument == "--signing-key" || argument == "--generate-key") && i + 1 < argc) {
            (argument == "--signing-key" ? options.signingKey : options.generateKey) = argv[++i];
        } else if (argument == "--connections-per-address" && i + 1 < argc) {
            const std::string count = argv[++i];
            if (count.empty() || count.size() > 6 ||
                count.find_first_not_of("0123456789") != std::string::npos) {
                problem = "--connections-per-address braucht eine Zahl";
                return std::nullopt;
            }
            options.limits.connectionsPerAddress = static_cast<unsigned>(std::stoul(count));
        } else {
            problem = "unbekanntes oder unvollständiges Argument: " + argument;
            return std::nullopt;
        }
    }
    if (!options.generateKey.empty())
        return options;
    if (options.catalog.empty()) {
        problem = "--catalog fehlt";
        return std::nullopt;
    }
    if (!splitListen(listen, options)) {
        problem = "--listen braucht die Form HOST:PORT";
        return std::nullopt;
    }
    return options;
}

// Every connection is a descriptor: allow as many as the system lets this process have.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// A new key pair: the secret part into the file, the public part to standard output.
int generateKey(const std::string& file) {
    const auto key = upd::server::SigningKey::generate();
    key.writeFile(file, "Signaturschlüssel des Update-Servers (geheim halten!)");
    std::printf("%s\n", key.publicKey().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string problem;
    const auto options = parse(argc, argv, problem);
    if (!options)
        return usage(problem);
    try {
        if (!options->generateKey.empty())
            return generateKey(options->generateKey);
        raiseDescriptorLimit();
        upd::server::Catalog catalog = upd::server::Catalog::load(options->catalog);
        for (const std::string& warning : catalog.warnings)
            std::cerr << "Warnung: " << warning << "\n";
        if (!options->signingKey.empty()) {
            const auto key = upd::server::SigningKey::readFile(options->signingKey);
            upd::server::signCatalog(catalog, key);
            std::cerr << "signiert mit dem Schlüssel " << key.publicKey() << "\n";
        }
        upd::server::UpdateServer server(
            std::move(catalog), upd::DeploymentSettings::fromEnvironment(),
            [](const std::string& line) {
                std::fputs((line + "\n").c_str(), stdout);
                std::fflush(stdout);
            },
            options->limits);
        const int port = server.bind(options->host, options->port);
        std::printf("listening on http://%s:%d\n", options->host.c_str(), port);
        std::fflush(stdout);
        server.listen();
    } catch (const std::exception& error) {
        std::cerr << "quorlan-update-server: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
