#pragma once

#include "wizard/window_roles.h"

#include <QAbstractButton>

namespace upd {

// The window's label buttons ("Start", "Beenden", "Info") with their artwork: a rounded plate
// with a soft gradient. Clickable with the mouse and, unlike a bare label, with the keyboard:
// Space, Enter and keypad Enter click it when it has the focus.
class LabelButton final : public QAbstractButton, public Button {
    Q_OBJECT
public:
    explicit LabelButton(const QString& caption, QWidget* parent = nullptr);

    bool isEnabled() const override { return QAbstractButton::isEnabled(); }
    void setEnabled(bool enabled) override { QAbstractButton::setEnabled(enabled); }
    QString caption() const override { return text(); }
    void setCaption(const QString& caption) override { setText(caption); }

    // The default button of its window: Enter anywhere in the window clicks it, unless the
    // control with the focus uses Enter itself. It carries a darker rim.
    void setDefault(bool isDefault);
    bool isDefault() const { return default_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hovered_ = false;
    bool default_ = false;
};

// True for Enter and keypad Enter without Ctrl, Alt or Shift.
bool isEnterKey(const QKeyEvent& event);

} // namespace upd
