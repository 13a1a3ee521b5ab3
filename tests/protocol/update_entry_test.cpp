#include "core/runtime_error.h"
#include "protocol/update_entry.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

QString entryXml(const char* version, const QString& flags) {
    return QStringLiteral("<update><version>%1</version><name>Programm-Update</name>"
                          "<files>setup.zip;lies mich.txt</files><filestoextract>setup.zip"
                          "</filestoextract><pw></pw><path>updates/qgr</path><min>1.0.0</min>"
                          "<max>1.0.9</max><start_file>setup.exe</start_file>%2</update>")
        .arg(QLatin1String(version), flags);
}

QString flags(const char* dlls, const char* master, const char* noArgs) {
    return QStringLiteral("<new_dlls>%1</new_dlls><new_master_version>%2</new_master_version>"
                          "<no_startup_args>%3</no_startup_args>")
        .arg(QLatin1String(dlls), QLatin1String(master), QLatin1String(noArgs));
}

XmlNode loadRoot(XmlDocument& document, const QString& text) {
    EXPECT_TRUE(document.loadXml(text)) << text.toStdString();
    return document.documentElement();
}

TEST(UpdateEntry, AnswerIsReadOnceIntoTypedEntriesAndHardwareTexts) {
    const QString first = entryXml("1.1.0", flags("True", "false", "0"));
    const QString hardware = QStringLiteral("<hardware><cpu>x86</cpu></hardware>");
    XmlDocument answer;
    const ProgramUpdateAnswer read = readProgramUpdateAnswer(
        loadRoot(answer, "<?xml version=\"1.0\"?><updates>" + first + hardware + "<other/>" +
                             entryXml("1.2.0", flags("TRUE", "-1", " 2 ")) + "</updates>"));

    ASSERT_EQ(read.updates.size(), 2u);
    const UpdateEntry& e = read.updates[0];
    EXPECT_EQ((QStringList{e.version, e.name, e.files.join(u'|'), e.filesToExtract, e.pw, e.path,
                           e.min, e.max, e.startFile}),
              (QStringList{"1.1.0", "Programm-Update", "setup.zip|lies mich.txt", "setup.zip", "",
                           "updates/qgr", "1.0.0", "1.0.9", "setup.exe"}));
    EXPECT_EQ(std::tuple(e.newDlls, e.newMasterVersion, e.noStartupArgs),
              std::tuple(true, false, false));
    // The XML document writes an empty element in its short form.
    EXPECT_EQ(e.xml, QString(first).replace("<pw></pw>", "<pw/>"));
    const UpdateEntry& f = read.updates[1];
    EXPECT_EQ(std::tuple(f.version, f.newDlls, f.newMasterVersion, f.noStartupArgs),
              std::tuple(QStringLiteral("1.2.0"), true, true, true));
    EXPECT_EQ(read.hardwareXml, QStringList{hardware});
}

TEST(UpdateEntry, MissingElementsBadBooleansAndNonElementsRaiseRunTimeErrors) {
    struct Case {
        const char* what;
        QString answer;
        int error;
    };
    const QString valid = entryXml("1.1.0", flags("True", "False", "False"));
    const std::vector<Case> cases{
        {"missing start_file", QString(valid).remove("<start_file>setup.exe</start_file>"),
         errnum::ObjectNotSet},
        {"missing Boolean", entryXml("1.1.0", {}), errnum::ObjectNotSet},
        {"empty Boolean", entryXml("1.1.0", flags("", "False", "False")), errnum::TypeMismatch},
        {"yes", entryXml("1.1.0", flags("True", "yes", "False")), errnum::TypeMismatch},
        {"comment beside the entries", valid + "<!-- Kommentar -->", errnum::TypeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XmlDocument answer;
        try {
            readProgramUpdateAnswer(loadRoot(answer, "<updates>" + c.answer + "</updates>"));
            ADD_FAILURE() << "no run-time error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), c.error);
        }
    }
}

TEST(UpdateEntry, ManifestReaderSkipsWhatIsNoUpdateAndTakesTheFirstElementOfAName) {
    // The first "version" in document order is the one nested before the entry's own.
    const QString nested =
        entryXml("1.1.0", flags("1", "0", "false"))
            .replace("<update>", "<update><info><version>9.9.9</version></info>");
    XmlDocument manifest;
    const auto entries = readManifestEntries(
        loadRoot(manifest, "<updates><!-- x -->" + nested + "<hardware/>text</updates>"));

    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].version, QStringLiteral("9.9.9"));
    EXPECT_TRUE(entries[0].newDlls);
}

TEST(UpdateEntry, VersionFitsBetweenBothBoundsInclusiveInTextOrder) {
    struct Case {
        const char* version;
        const char* min;
        const char* max;
        bool fits;
    };
    const std::vector<Case> cases{
        {"1.0.0", "1.0.0", "1.0.9", true},  {"1.0.9", "1.0.0", "1.0.9", true}, // both bounds
        {"1.0.10", "1.0.0", "1.0.9", true}, // text order: "1" < "9" at the fifth character
        {"1.1.0", "1.0.0", "1.0.9", false}, {"0.9.9", "1.0.0", "1.0.9", false},
        {"1.0", "1.0.0", "1.0.9", false}, // a prefix is the smaller text
    };
    for (const Case& c : cases)
        EXPECT_EQ(versionFits(QLatin1String(c.version), QLatin1String(c.min), QLatin1String(c.max)),
                  c.fits)
            << c.version << " in [" << c.min << ", " << c.max << "]";
}

} // namespace
} // namespace upd
