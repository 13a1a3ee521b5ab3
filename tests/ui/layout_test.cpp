// What a user sees of the windows' layout: nothing clipped or overlapping, nothing that jumps,
// text that stands out from what is behind it.

#include "ui/frm_dir_auswahl.h"
#include "ui/frm_wait.h"
#include "ui/header_art.h"
#include "ui/window_fixture.h"
#include "ui/window_placement.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <cmath>

namespace upd::test {
namespace {

double luminance(const QColor& color) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The label shows all of its text in the room it was given.
void expectWhole(const QLabel* label) {
    const int needed =
        label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
    EXPECT_LE(needed, label->height()) << label->objectName().toStdString();
    if (!label->wordWrap()) {
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
    }
}

using LayoutTest = WindowTest;

TEST_F(LayoutTest, MainWindowKeepsItsWidthAndShowsEverythingWhole) {
    for (const QString& name :
         {QStringLiteral("QuorMed Praxis"), QStringLiteral("quorlan Gesundheitsratgeber Pro")}) {
        SCOPED_TRACE(name.toStdString());
        session.host.ExtAppName = name;
        frmStart& w = open(0);
        w.show();
        settle();
        const int width = w.width();
        w.controls().setInfoButtonVisible(true);
        settle();
        EXPECT_EQ(w.width(), width) << "the Info button widened the window";

        auto* title = named<QLabel>(w, "lblCallerName");
        auto* header = qobject_cast<HeaderArt*>(title->parentWidget());
        ASSERT_NE(header, nullptr);
        EXPECT_LE(title->geometry().right(), header->width() - header->artworkWidth())
            << "the title runs into the arcs";
        expectWhole(title);
        for (const char* button : {"lblInfo", "lblStart", "lblEnd"})
            EXPECT_GE(named<LabelButton>(w, button)->width(),
                      named<LabelButton>(w, button)->sizeHint().width())
                << button;
        auto* version = named<QLabel>(w, "lblVersion");
        expectWhole(version);
        EXPECT_GE(contrast(version->palette().color(version->foregroundRole()),
                           w.palette().color(QPalette::Window)),
                  4.5);
        delete window.data();
    }
}

// The percentage never stands dark on the dark bar: not while a transfer reports, and not while
// the data download fills the bar.
TEST_F(LayoutTest, PercentageStaysReadableOnTheBar) {
    frmStart& w = open(0);
    w.show();
    auto* track = named<QWidget>(w, "ImgLine");
    auto* bar = named<QLabel>(w, "Percent");
    const double barLuminance = luminance(bar->palette().color(QPalette::Window)) + 0.02;
    const auto check = [&](const std::string& what) {
        SCOPED_TRACE(what);
        settle();
        const QImage image = track->grab().toImage();
        const int barEnd = bar->x() + bar->width();
        int dark = 0, readable = 0;
        for (int y = 2; y < image.height() - 2; ++y) {
            for (int x = 2; x < image.width() - 2; ++x) {
                const double l = luminance(image.pixelColor(x, y));
                const bool onBar = x < barEnd - 1;
                dark += onBar && l < barLuminance - 0.02;
                readable += onBar ? l > 0.3 : (x > barEnd + 1 && l < 0.3);
            }
        }
        EXPECT_EQ(dark, 0) << "dark text on the bar";
        EXPECT_GT(readable, 20) << "no readable text";
    };
    for (int percent : {3, 30, 45, 49, 50, 55, 70, 100}) {
        w.ProgressBar(1000, percent * 10);
        check("transfer " + std::to_string(percent));
    }
    w.state().moveWizardTo(wizard::Search);
    for (int percent : {10, 45, 52, 100}) {
        w.downloadBar().setBarWidth(percent * 54.9f);
        w.downloadBar().setCaption(QString::number(percent) + QStringLiteral(" %"));
        check("data download " + std::to_string(percent));
    }
}

// The wait window stands over the main window, though it has not taken its size when placed.
TEST_F(LayoutTest, WaitWindowOpensOverTheMainWindow) {
    QWidget mainWindow;
    mainWindow.setGeometry(120, 90, 480, 470);
    mainWindow.show();
    QPointer<frmWait> wait = new frmWait(session);
    placeOver(*wait, &mainWindow);
    wait->show();
    const QPoint offCentre = wait->frameGeometry().center() - mainWindow.frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 4) << wait->x() << "," << wait->y();
    wait->close();
}

// A list shown from its top shows the scroll bar's thumb at the top, as the darkest part.
TEST_F(LayoutTest, DirectoryListShowsItsThumbWhereTheListIs) {
    QTemporaryDir volume;
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(
            QDir(volume.path()).mkpath(QStringLiteral("ordner%1").arg(i, 2, 10, QChar('0'))));
    frmDirAuswahl chooser(session);
    chooser.Drive1->addItem(QStringLiteral("temp"), volume.path());
    chooser.Drive1_Change(chooser.Drive1->count() - 1);
    chooser.show();
    ASSERT_TRUE(
        waitFor([&] { return chooser.Dir1->model()->rowCount(chooser.Dir1->rootIndex()) == 60; }));
    settle();
    QScrollBar* scrollBar = chooser.Dir1->verticalScrollBar();
    ASSERT_EQ(scrollBar->value(), 0);
    ASSERT_LT(scrollBar->pageStep() * 2, scrollBar->maximum()); // a thumb of less than a third
    // The thumb fills the upper band; the empty groove, the lower one, must not look like it.
    const QImage image = scrollBar->grab().toImage();
    const auto band = [&](double from, double to) {
        double sum = 0;
        int n = 0;
        for (int y = int(image.height() * from); y < int(image.height() * to); ++y)
            for (int x = 2; x < image.width() - 2; ++x, ++n)
                sum += luminance(image.pixelColor(x, y));
        return sum / n;
    };
    const double thumb = band(0.1, 0.25), groove = band(0.6, 0.9);
    EXPECT_GE((groove + 0.05) / (thumb + 0.05), 2.0) << thumb << " " << groove;
}

} // namespace
} // namespace upd::test
