// What a hostile network may put into signed answers: the first line stands for the payload's
// signature header, the rest for the answer. The entries' checksums and signatures, the updater's
// seal and the payload's signature are read and checked against the sample key, as the updater
// does with every answer; the rest once more as the key setting.

#include "core/runtime_error.h"
#include "core/xml_document.h"
#include "fuzz_check.h"
#include "protocol/authenticity.h"
#include "protocol/updater_answer.h"
#include "transfer/transfer_control.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype lineEnd = input.indexOf('\n');
    const QString header = QString::fromLatin1(input.left(lineEnd < 0 ? 0 : lineEnd));
    const QByteArray body = input.mid(lineEnd + 1);
    const upd::TrustedKeys keys = upd::TrustedKeys::fromSetting(
        QStringLiteral("xrLn3HuB3q5WlYJxlJc7KiampLCNsNmv7pPYgvHFZa0="));

    // Without a signature nothing is genuine.
    const auto payload = upd::checkPayloadSignature(keys, QStringLiteral("QGR"),
                                                    QStringLiteral("2024.01"), body, header);
    FUZZ_CHECK(!header.trimmed().isEmpty() || payload == upd::NotGenuine::SignatureMissing);
    (void)upd::TrustedKeys::fromSetting(QString::fromUtf8(body));

    upd::XmlDocument document;
    if (!document.loadXml(upd::decodeAnswerText(body, "text/xml")))
        return 0;
    try {
        for (const upd::UpdateEntry& entry :
             upd::readProgramUpdateAnswer(document.documentElement()).updates) {
            const auto verdict = upd::checkEntrySignature(keys, QStringLiteral("QGR"), entry);
            FUZZ_CHECK(!entry.signature.trimmed().isEmpty() || verdict);
        }
    } catch (const upd::RuntimeError&) {
    }
    const upd::UpdaterSeal seal = upd::readUpdaterSeal(document);
    (void)upd::checkUpdaterSignature(
        keys, document.root().firstElementText(QStringLiteral("version")),
        document.root().firstElementText(QStringLiteral("file")), seal);
    return 0;
}
