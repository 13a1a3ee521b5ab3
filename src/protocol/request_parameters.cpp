#include "protocol/request_parameters.h"

#include "protocol/versions.h"

#include <array>
#include <utility>

namespace upd {
namespace {

using Replacement = std::pair<const char16_t*, const char16_t*>;

QString replaceAll(QString text, const Replacement* begin, const Replacement* end) {
    for (const Replacement* r = begin; r != end; ++r)
        text.replace(QString::fromUtf16(r->first), QString::fromUtf16(r->second));
    return text;
}

constexpr std::array<Replacement, 6> Umlauts = {{
    {u"ü", u"ue"},
    {u"Ü", u"Ue"},
    {u"ä", u"ae"},
    {u"Ä", u"Ae"},
    {u"ö", u"oe"},
    {u"Ö", u"Oe"},
}};
constexpr std::array<Replacement, 3> Specials = {{{u"ß", u"#"}, {u"+", u"[1]"}, {u"'", u"[2]"}}};
constexpr std::array<Replacement, 1> Ampersand = {{{u"&", u"[0]"}}};

template <std::size_t N>
QString replaceAll(const QString& text, const std::array<Replacement, N>& table) {
    return replaceAll(text, table.data(), table.data() + N);
}

QString dottedToV(QString version) {
    return version.replace(u'.', u'v');
}

// The parts both parameter strings begin with, up to REG.
QString hostPart(const Session& session, const QString& version, const QString& machineKey) {
    const HostParameters& h = session.host;
    return QStringLiteral("VERS=") + dottedToV(version) + QStringLiteral("&PID=") + h.ProgID +
           u'&' + machineKey + u'=' + h.MachineID + QStringLiteral("&SFA=") +
           EncodeQueryText(h.SFA, 3) + QStringLiteral("&SNN=") + EncodeQueryText(h.SNN, 3) +
           QStringLiteral("&SVN=") + EncodeQueryText(h.SVN, 3) + QStringLiteral("&SST=") +
           EncodeQueryText(h.SST, 3) + QStringLiteral("&SPL=") + h.SPL + QStringLiteral("&SOR=") +
           EncodeQueryText(h.SOR, 3) + QStringLiteral("&REG=") + h.REG;
}

} // namespace

QString EncodeQueryText(const QString& text, int mode) {
    switch (mode) {
    case 1:
        return replaceAll(text, Umlauts);
    case 2:
        return replaceAll(text, Specials);
    case 3:
        return replaceAll(text, Ampersand);
    case 4:
        return replaceAll(replaceAll(text, Umlauts), Specials);
    default:
        return {};
    }
}

QString BuildProgramQuery(const Session& session, const QString& version) {
    QString query = hostPart(session, version, QStringLiteral("MID"));
    if (!session.ControlKey.isEmpty())
        query += QStringLiteral("&KEY=") + session.ControlKey;
    if (!session.ServerParameter.isEmpty())
        query += QStringLiteral("&PARAMETER=") + session.ServerParameter;
    query += QStringLiteral("&IUVERS=") + QueryVersion(session.version);
    return EncodeQueryText(query, 4);
}

QString BuildDataQuery(const Session& session, const QString& version, int queryMode) {
    QString query = hostPart(session, version, QStringLiteral("MachineID")) +
                    QStringLiteral("&IUVERS=") + QueryVersion(session.version) +
                    QStringLiteral("&DBVers=") + session.host.DBVers + QStringLiteral("&MODUS=") +
                    QString::number(queryMode) + QStringLiteral("&KEY=") + session.ControlKey +
                    QStringLiteral("&SEARCHDATE=") + session.SearchDate;
    for (std::size_t i = 0; i < session.host.SD.size(); ++i)
        query += QStringLiteral("&SD") + QString::number(i) + u'=' + session.host.SD[i];
    return EncodeQueryText(query, 4);
}

QString ProgramQueryAddress(const Session& session, const QString& version) {
    return session.ServerBaseUrl + QStringLiteral("/update.aspx?") +
           BuildProgramQuery(session, version) + QStringLiteral(" #");
}

QString DataQueryAddress(const Session& session, const QString& version, int queryMode) {
    return session.ServerBaseUrl + QStringLiteral("/dataupdate.aspx?") +
           EncodeQueryText(BuildDataQuery(session, version, queryMode), 4) + u'#';
}

} // namespace upd
