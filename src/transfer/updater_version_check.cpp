#include "transfer/updater_version_check.h"

#include "core/runtime_error.h"
#include "core/windows1252.h"
#include "core/xml_document.h"
#include "protocol/authenticity.h"
#include "protocol/updater_answer.h"
#include "protocol/versions.h"
#include "transfer/curl_handles.h"

#include <optional>

namespace upd {
namespace {

constexpr long ConnectTimeoutSeconds = 20;
constexpr long TotalTimeoutSeconds = 60;
// The page names one file in a few elements; anything larger is not its answer.
constexpr qsizetype AnswerLimit = 64 * 1024;

struct PageReading {
    QByteArray bytes;
    bool tooLarge = false;
};

// Every block is appended in order, so an answer of many blocks reads like a short one.
size_t appendBlock(char* data, size_t size, size_t count, void* user) {
    auto& reading = *static_cast<PageReading*>(user);
    const auto bytes = static_cast<qsizetype>(size * count);
    if (reading.bytes.size() + bytes > AnswerLimit) {
        reading.tooLarge = true;
        return 0;
    }
    reading.bytes.append(data, bytes);
    return size * count;
}

// The body of the page, whatever its status, as far as it arrived; nothing when the page could
// not be opened at all or its answer is too large.
std::optional<QByteArray> readUpdaterPage(const QString& url, EventLoop& loop) {
    CurlEasy easy = newWebRequest(url);
    if (!easy)
        return std::nullopt;
    PageReading reading;
    curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, ConnectTimeoutSeconds);
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT, TotalTimeoutSeconds);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, appendBlock);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &reading);
    performYielding(easy.get(), loop);
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status == 0 || reading.tooLarge)
        return std::nullopt;
    return reading.bytes;
}

} // namespace

bool CheckUpdaterVersion(const Session& session, EventLoop& loop, QString& path, QString& version,
                         QString& file, UpdaterSeal& seal) {
    try {
        const std::optional<QByteArray> page =
            readUpdaterPage(session.deployment.updaterInfoUrl, loop);
        if (!page)
            return false;
        XmlDocument answer;
        if (!answer.loadUtf8(windows1252::toUtf8(*page)))
            return false;
        if (!readUpdaterAnswer(answer, path, version, file))
            return false;
        seal = readUpdaterSeal(answer);
        if (checkUpdaterSignature(TrustedKeys::fromSetting(session.deployment.signingKeys), version,
                                  file, seal))
            return false;
        return isVersionGreater(version, FixedWidthVersion(session.version));
    } catch (const RuntimeError&) {
        return false;
    }
}

} // namespace upd
