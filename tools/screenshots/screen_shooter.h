#pragma once

#include <QDir>
#include <QRect>
#include <QString>
#include <functional>

class QWidget;

namespace upd::test {

// Takes pictures of the screen as a user sees it: top-level windows with the frame and title bar
// that the window manager gives them. Also acts as the user: waits for a box to come up, then
// answers it.
class ScreenShooter {
public:
    explicit ScreenShooter(const QDir& folder) : folder_(folder) {}

    // Lets the window manager and the program draw, for about `milliseconds`.
    static void pause(int milliseconds);

    // The window with its frame.
    void window(QWidget& window, const QString& name);
    // Several windows together, as they stand on the screen.
    void windows(const QList<QWidget*>& windows, const QString& name);

    // Once a modal box (a message box, an input box, a dialog) other than `open` is up, runs
    // `then` with it; the caller then does what opens the box.
    static void whenModalOpens(std::function<void(QWidget& box)> then,
                               const QWidget* open = nullptr);
    // Once `ready` holds, runs `then`, once.
    static void when(std::function<bool()> ready, std::function<void()> then);

private:
    void save(const QRect& area, const QString& name);

    QDir folder_;
};

// Presses a key where the window's keyboard focus is.
void pressKey(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types text where the window's keyboard focus is.
void typeText(QWidget& window, const QString& text);
// Clicks the widget with the mouse, in its middle or at `at`.
void clickOn(QWidget* widget, QPoint at = {});

} // namespace upd::test
