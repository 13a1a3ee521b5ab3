#include "transfer/curl_handles.h"

namespace upd {

CurlEasy newCurlEasy() {
    static const CURLcode globalInit = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (globalInit != CURLE_OK)
        return nullptr;
    return CurlEasy(curl_easy_init());
}

CURLcode performYielding(CURL* easy, EventLoop& loop, const std::function<bool()>& cancelled) {
    CurlMulti multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK)
        return CURLE_FAILED_INIT;

    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    bool finished = false;
    while (!finished) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                result = message->data.result;
                finished = true;
            }
        }
        if (finished)
            break;
        curl_multi_poll(multi.get(), nullptr, 0, 10, nullptr);
        loop.yield();
        if (cancelled && cancelled())
            break;
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

} // namespace upd
