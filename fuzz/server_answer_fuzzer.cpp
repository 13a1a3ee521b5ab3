// Whatever the update server (or anyone in between) answers to a query: decoded as text, loaded
// as the program's XML document and read by every reader of answers.

#include "core/runtime_error.h"
#include "core/xml_document.h"
#include "fuzz_check.h"
#include "protocol/server_answer.h"
#include "transfer/transfer_control.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    upd::XmlDocument document;
    if (!document.loadXml(upd::decodeAnswerText(body, "text/xml")))
        return 0;
    const upd::XmlNode root = document.documentElement();
    FUZZ_CHECK(!root.isNull());
    try {
        (void)upd::readErrorAnswer(root);
    } catch (const upd::RuntimeError&) {
    }
    try {
        (void)upd::readProgramUpdateListing(document);
    } catch (const upd::RuntimeError&) {
    }
    try {
        (void)upd::readDataSearchAnswer(root);
    } catch (const upd::RuntimeError&) {
    }
    (void)upd::hasProgramUpdates(root);
    (void)upd::payloadHasSets(root);
    (void)root.text();
    // What was accepted is well-formed: written out, it loads again.
    upd::XmlDocument again;
    FUZZ_CHECK(again.loadXml(document.xml()));
    return 0;
}
