#include "transfer/quiet_search.h"

#include "core/error_catalogue.h"
#include "core/numeric.h"
#include "core/runtime_error.h"
#include "protocol/request_parameters.h"
#include "protocol/server_answer.h"
#include "transfer/server_fetch.h"

#include <QStringList>
#include <algorithm>

namespace upd {
namespace {

bool isThreeNumbers(const QString& version) {
    const QStringList parts = version.split(u'.');
    return parts.size() == 3 && std::all_of(parts.begin(), parts.end(), [](const QString& part) {
               return numeric::isNumeric(part);
           });
}

FoundUpdates fromErrorNumber(std::int32_t number) {
    if (number == errcode::ProgramUpdatesElsewhere)
        return FoundUpdates::ProgramUpdates;
    if (number == errcode::DataUpdatesElsewhere)
        return FoundUpdates::DataUpdates;
    return FoundUpdates::Nothing;
}

// The program query's answer; its listing must be readable, as the main window lists it.
FoundUpdates readProgramAnswer(const XmlDocument& answer) {
    if (!hasProgramUpdates(answer.documentElement()))
        return FoundUpdates::Nothing;
    readProgramUpdateListing(answer);
    return FoundUpdates::ProgramUpdates;
}

FoundUpdates readDataAnswer(const XmlDocument& answer) {
    switch (readDataSearchAnswer(answer.documentElement())) {
    case DataSearchAnswer::UpdateFound:
        return FoundUpdates::DataUpdates;
    case DataSearchAnswer::NoUpdate:
        return FoundUpdates::Nothing;
    case DataSearchAnswer::NotUnderstood:
        break;
    }
    throw RuntimeError(errnum::ObjectNotSet);
}

struct QueryOutcome {
    bool understood = false; // false: the search ends here
    FoundUpdates found = FoundUpdates::Nothing;
};

// One query: its answer read by `read`; a failure ends the search with what the error number
// tells.
template <typename Reader>
QueryOutcome ask(TransferControl& Inet1, const QString& address, Reader read) {
    XmlDocument answer;
    const ServerFetch fetch = fetchServerAnswer(Inet1, address, answer);
    switch (fetch.kind) {
    case ServerFetch::Kind::ErrorAnswer:
        return {false, fromErrorNumber(fetch.error.number)};
    case ServerFetch::Kind::Unusable:
    case ServerFetch::Kind::NotGenuine: // the search checks no signatures
        return {};
    case ServerFetch::Kind::Answer:
        break;
    }
    try {
        return {true, read(answer)};
    } catch (const RuntimeError&) {
        return {};
    }
}

} // namespace

FoundUpdates findUpdatesQuietly(const Session& session, TransferControl& Inet1,
                                const QString& version) {
    if (!isThreeNumbers(version))
        return FoundUpdates::Nothing;
    const QueryOutcome program =
        ask(Inet1, ProgramQueryAddress(session, version), readProgramAnswer);
    if (!program.understood || program.found != FoundUpdates::Nothing)
        return program.found;
    Inet1.setRequestTimeout(DataRequestTimeoutSeconds);
    return ask(Inet1, DataQueryAddress(session, version, querymode::Search), readDataAnswer).found;
}

} // namespace upd
