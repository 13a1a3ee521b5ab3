// Addresses on the wire: what the program encodes, the update server decodes to the same value;
// and whatever query a client sends, the server's decoding takes it apart safely.

#include "core/windows1252.h"
#include "fuzz_check.h"
#include "protocol/wire_address.h"
#include "updateserver/query_parameters.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const auto parsed = upd::server::QueryParameters::parse(raw);
    (void)parsed.text("VERS");
    (void)upd::server::dottedVersion(raw);

    // A value without "&" (which separates the values) comes back as the code page keeps it,
    // also with the "#" that the queries append.
    QString value = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    value.remove(u'&');
    const QByteArray wire =
        upd::wire_address::encode(QStringLiteral("http://h/p.aspx?K=") + value + u'#');
    const qsizetype query = wire.indexOf('?');
    FUZZ_CHECK(query > 0);
    const auto decoded =
        upd::server::QueryParameters::parse(std::string_view(wire).substr(std::size_t(query) + 1));
    const QString expected = upd::windows1252::decode(upd::windows1252::encode(value));
    FUZZ_CHECK(decoded.text("K") == expected.toStdString());
    return 0;
}
