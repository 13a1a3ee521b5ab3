#include "app/host_parameters.h"
#include "core/runtime_error.h"
#include "support/memory_settings_store.h"
#include "support/scripted_prompts.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace upd {
namespace {

struct Parsed {
    Session session;
    test::ScriptedPrompts prompts;
    ParseOutcome outcome;
    int errorNumber = 0;
};

// Runs the parser on a command line with nothing parked; run-time errors are caught as start-up's
// trap would.
std::unique_ptr<Parsed> parse(const QString& commandLine) {
    test::MemorySettingsStore store;
    auto result = std::make_unique<Parsed>();
    try {
        result->outcome = ParseHostParameters(result->session, commandLine, store, result->prompts);
    } catch (const RuntimeError& error) {
        result->errorNumber = error.number();
    }
    return result;
}

TEST(HostParameters, FillsEveryKnownKeyAndIgnoresOthers) {
    const auto p = parse(QStringLiteral(
        "Hwnd=123456#ExeVers=3.1.0#DBName=daten.mdb#DBVers=2024.1#AppName=quorlan GR#"
        "ExtAppName=quorlan Gesundheit#ExePath=/opt/qgr#ExeName=qgr.exe#ProgID=QGR#MachineID=M-1#"
        "SFA=Müller & Söhne#SNN=O'Neill#SVN=Anna#SOR=Köln#SPL=50667#SST=Straße 1+2#REG=R1#"
        "SD0=a#SD5=f#SD11=l#START=3#Unknown=x#appname=lower"));
    ASSERT_TRUE(p->outcome.proceed);
    EXPECT_TRUE(p->prompts.shown().empty());
    const HostParameters& h = p->session.host;
    EXPECT_EQ(h.Hwnd, 123456);
    // A key in other letter case is ignored: AppName stays.
    EXPECT_EQ(QStringList({h.ExeVers, h.DBName,  h.DBVers, h.AppName,   h.ExtAppName,
                           h.ExePath, h.ExeName, h.ProgID, h.MachineID, h.SFA,
                           h.SNN,     h.SVN,     h.SOR,    h.SPL,       h.SST,
                           h.REG,     h.SD[0],   h.SD[1],  h.SD[5],     h.SD[11]})
                  .join(u'|'),
              QStringLiteral("3.1.0|daten.mdb|2024.1|quorlan GR|quorlan Gesundheit|/opt/qgr|"
                             "qgr.exe|QGR|M-1|Müller & Söhne|O'Neill|Anna|Köln|50667|"
                             "Straße 1+2|R1|a||f|l"));
    EXPECT_EQ(p->session.RunMode, 3);
}

TEST(HostParameters, ValuesKeepBlanksLoseExtraEqualsAndLaterItemsWin) {
    auto p = parse(QStringLiteral("AppName=A=B#ExeVers=1.0.0"));
    EXPECT_EQ(p->session.host.AppName, QString()) << "a value with '=' is lost";
    EXPECT_EQ(p->session.host.ExeVers, QStringLiteral("1.0.0"));

    p = parse(QStringLiteral("ExeVers=1.0.0#ExeVers=2.0.0"));
    EXPECT_EQ(p->session.host.ExeVers, QStringLiteral("2.0.0"));

    p = parse(QStringLiteral("AppName= A #ProgID"));
    ASSERT_TRUE(p->outcome.proceed);
    EXPECT_EQ(p->session.host.AppName, QStringLiteral(" A "));
    EXPECT_EQ(p->session.host.ProgID, QString()) << "a bare key stores nothing";
    EXPECT_EQ(p->session.RunMode, 0) << "no START item means run mode 0";

    // "START=7" among other items is an ordinary run mode, not the restart form.
    p = parse(QStringLiteral("START=7#AppName=Y"));
    ASSERT_TRUE(p->outcome.proceed);
    EXPECT_EQ(p->session.RunMode, 7);
}

TEST(HostParameters, MalformedCommandLinesEndWithTheirMessage) {
    struct Case {
        const char* commandLine;
        const char* message;
    };
    for (const Case& c : {Case{"", "UNEXPECTED SYSEM ERROR: 800400008"},
                          Case{"AppName=X", "UNEXPECTED SYSTEM ERROR: 800400008"},
                          Case{"START=7", "UNEXPECTED SYSEM ERROR: 800400009"},
                          Case{"start=7", "UNEXPECTED SYSEM ERROR: 800400009"}}) {
        const auto p = parse(QString::fromUtf8(c.commandLine));
        EXPECT_FALSE(p->outcome.proceed) << c.commandLine;
        ASSERT_EQ(p->prompts.shown().size(), 1u) << c.commandLine;
        const auto& box = p->prompts.shown().front();
        EXPECT_EQ(box.text, QString::fromUtf8(c.message)) << c.commandLine;
        EXPECT_EQ(box.title, QStringLiteral("quorlan-Internet-Update"));
        EXPECT_EQ(box.icon, MessageIcon::Critical);
    }
}

TEST(HostParameters, RunTimeErrorsReachTheStartupTrap) {
    for (const char* commandLine :
         {"Hwnd=#ExeVers=1.0.0", "START=x#AppName=A", "START=40000#AppName=A",
          "AppName=A##ExeVers=1", "START=x", "Hwnd=99999999999#A=1"}) {
        const auto p = parse(QString::fromUtf8(commandLine));
        EXPECT_NE(p->errorNumber, 0) << commandLine;
        EXPECT_TRUE(p->prompts.shown().empty()) << commandLine;
    }
    EXPECT_EQ(parse(QStringLiteral("Hwnd=#ExeVers=1.0.0"))->errorNumber, errnum::TypeMismatch);
    EXPECT_EQ(parse(QStringLiteral("START=40000#AppName=A"))->errorNumber, errnum::Overflow);
}

} // namespace
} // namespace upd
