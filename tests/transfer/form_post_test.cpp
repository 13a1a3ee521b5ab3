#include "support/local_http_server.h"
#include "transfer/form_post.h"
#include "transfer/transfer_fakes.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

using test::LocalHttpServer;

TEST(FormPost, SendsTheBodyAsItIsAndRefusesOversizedAnswers) {
    LocalHttpServer server;
    server.http().Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
        // No charset: the page is read as Windows-1252.
        res.set_content("<p>" + req.body + " \xFC</p>", "text/html");
    });
    server.http().Post("/large", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(5000, 'l'), "text/html");
    });
    server.start();
    test::CountingEventLoop loop;
    const auto url = [&](const std::string& path) {
        return QString::fromStdString(server.url(path));
    };

    // A "+" in the body is data, never a blank; nothing is encoded a second time.
    const FormPostAnswer echo = postForm(url("/echo"), "A=x%20y&B=1+2", loop, {}, 4096);
    EXPECT_TRUE(echo.succeeded());
    EXPECT_EQ(echo.status, 200);
    EXPECT_EQ(echo.text(), QStringLiteral("<p>A=x%20y&B=1+2 \u00fc</p>"));

    const FormPostAnswer large = postForm(url("/large"), "", loop, {}, 4096);
    EXPECT_EQ(large.code, CURLE_WRITE_ERROR);
    EXPECT_FALSE(large.succeeded());
    EXPECT_EQ(postForm(url("/large"), "", loop, {}, 5000).body.size(), 5000);

    // A cancellation stops the request before it is answered.
    const FormPostAnswer cancelled = postForm(
        url("/echo"), "A=1", loop, [] { return true; }, 4096);
    EXPECT_EQ(cancelled.code, CURLE_ABORTED_BY_CALLBACK);
    EXPECT_FALSE(cancelled.succeeded());
}

} // namespace
} // namespace upd
