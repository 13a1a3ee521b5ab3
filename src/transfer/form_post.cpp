#include "transfer/form_post.h"

#include "transfer/curl_handles.h"
#include "transfer/transfer_control.h"

#include <memory>

namespace upd {
namespace {

struct BodySink {
    QByteArray& body;
    qsizetype limit;

    static size_t receive(char* data, size_t size, size_t count, void* user) {
        auto& sink = *static_cast<BodySink*>(user);
        const size_t bytes = size * count;
        if (static_cast<qsizetype>(bytes) > sink.limit - sink.body.size())
            return 0; // ends the transfer with CURLE_WRITE_ERROR
        sink.body.append(data, static_cast<qsizetype>(bytes));
        return bytes;
    }
};

} // namespace

QString FormPostAnswer::text() const {
    return decodeAnswerText(body, contentType);
}

FormPostAnswer postForm(const QString& url, const QByteArray& parameters, EventLoop& loop,
                        const std::function<bool()>& cancelled, qsizetype bodyLimit) {
    FormPostAnswer answer;
    // Declared before the handle, which must go first.
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
        curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded"),
        &curl_slist_free_all);
    CurlEasy easy = newWebRequest(url);
    if (!easy)
        return answer;
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, parameters.constData());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(parameters.size()));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    BodySink sink{answer.body, bodyLimit};
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &BodySink::receive);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);

    answer.code = performYielding(handle, loop, cancelled);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &answer.status);
    const char* contentType = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
        answer.contentType = contentType;
    return answer;
}

} // namespace upd
