#include "screen_shooter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace upd::test {

void ScreenShooter::pause(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void ScreenShooter::window(QWidget& window, const QString& name) {
    windows({&window}, name);
}

void ScreenShooter::windows(const QList<QWidget*>& windows, const QString& name) {
    // The window manager frames a new window a moment after it is mapped.
    QElapsedTimer clock;
    clock.start();
    const auto framed = [&] {
        for (QWidget* window : windows)
            if (window->frameGeometry() == window->geometry())
                return false;
        return true;
    };
    while (!framed() && clock.elapsed() < 3000)
        pause(50);
    pause(300);
    QRect area;
    for (QWidget* window : windows)
        area |= window->frameGeometry();
    save(area, name);
}

void ScreenShooter::save(const QRect& area, const QString& name) {
    // The screen's own pixels, so that the window manager's frame is in the picture.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString file = folder_.filePath(name + QStringLiteral(".png"));
    if (!picture.save(file))
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

void ScreenShooter::whenModalOpens(std::function<void(QWidget& box)> then, const QWidget* open) {
    when(
        [open] {
            QWidget* box = QApplication::activeModalWidget();
            return box && box != open && box->isVisible();
        },
        [then = std::move(then)] { then(*QApplication::activeModalWidget()); });
}

void ScreenShooter::when(std::function<bool()> ready, std::function<void()> then) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, ready = std::move(ready), then = std::move(then)] {
                         if (!ready())
                             return;
                         poll->stop();
                         poll->deleteLater();
                         then();
                     });
    poll->start();
}

namespace {

QWidget* focusIn(QWidget& window) {
    return window.focusWidget() ? window.focusWidget() : &window;
}

} // namespace

void pressKey(QWidget& window, int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(focusIn(window), static_cast<Qt::Key>(key), modifiers);
}

void typeText(QWidget& window, const QString& text) {
    QTest::keyClicks(focusIn(window), text);
}

void clickOn(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier,
                      at.isNull() ? widget->rect().center() : at);
}

} // namespace upd::test
