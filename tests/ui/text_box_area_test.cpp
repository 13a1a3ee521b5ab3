#include "ui/text_box_area.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace upd::test {
namespace {

TEST(PlainTextArea, AppendingALineCostsTheLineNotTheWholeText) {
    QPlainTextEdit box;
    PlainTextArea list(&box);
    // Every character the box's document takes in or gives up.
    qint64 charactersChanged = 0;
    QObject::connect(box.document(), &QTextDocument::contentsChange,
                     [&](int, int removed, int added) { charactersChanged += removed + added; });

    QString expected;
    for (int i = 0; i < 4000; ++i) {
        const QString line = QStringLiteral(" 3.%1.0   Programm-Update %1").arg(i);
        list.appendLine(line);
        expected += (i == 0 ? QString() : QStringLiteral("\r\n")) + line;
    }
    EXPECT_EQ(list.text(), expected);
    EXPECT_EQ(box.toPlainText(), QString(expected).replace(QStringLiteral("\r\n"), "\n"));
    EXPECT_LT(charactersChanged, 2 * expected.size());

    // What the user edits is read back in the program's form, and appending goes on from there.
    QTextCursor cursor(box.document());
    cursor.insertText(QStringLiteral("x"));
    list.appendLine(QStringLiteral("end"));
    EXPECT_EQ(list.text(), u'x' + expected + QStringLiteral("\r\nend"));
}

} // namespace
} // namespace upd::test
