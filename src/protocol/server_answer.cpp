#include "protocol/server_answer.h"

#include "core/numeric.h"
#include "core/runtime_error.h"

namespace upd {

std::optional<ErrorAnswer> readErrorAnswer(const XmlNode& root) {
    if (root.localName() != QStringLiteral("error"))
        return std::nullopt;
    const auto children = root.childNodes();
    if (children.size() < 2)
        throw RuntimeError(errnum::ObjectNotSet);
    return ErrorAnswer{numeric::toInt32(children[0].text()), children[1].text()};
}

bool hasProgramUpdates(const XmlNode& root) {
    return !root.childNodes().empty();
}

std::vector<ListedUpdate> readProgramUpdateListing(const XmlDocument& answer) {
    const auto versions = answer.getElementsByTagName(QStringLiteral("version"));
    const auto names = answer.getElementsByTagName(QStringLiteral("name"));
    std::vector<ListedUpdate> listing;
    listing.reserve(versions.size());
    for (std::size_t i = 0; i < versions.size(); ++i) {
        if (i >= names.size())
            throw RuntimeError(errnum::ObjectNotSet);
        listing.push_back({versions[i].text(), names[i].text()});
    }
    return listing;
}

DataSearchAnswer readDataSearchAnswer(const XmlNode& root) {
    const auto children = root.childNodes();
    if (children.empty())
        throw RuntimeError(errnum::ObjectNotSet);
    if (children.front().localName() != QStringLiteral("updatefound"))
        return DataSearchAnswer::NotUnderstood;
    return root.text().isEmpty() ? DataSearchAnswer::NoUpdate : DataSearchAnswer::UpdateFound;
}

bool payloadHasSets(const XmlNode& root) {
    return !root.childNodes().empty();
}

} // namespace upd
