#pragma once

#include "wizard/window_roles.h"

#include <QAbstractButton>

namespace upd {

// The window's label buttons ("Start", "Beenden", "Info") with their artwork: a rounded plate
// with a soft gradient. Clickable with the mouse and, unlike a bare label, with the keyboard.
class LabelButton final : public QAbstractButton, public Button {
    Q_OBJECT
public:
    explicit LabelButton(const QString& caption, QWidget* parent = nullptr);

    bool isEnabled() const override { return QAbstractButton::isEnabled(); }
    void setEnabled(bool enabled) override { QAbstractButton::setEnabled(enabled); }
    QString caption() const override { return text(); }
    void setCaption(const QString& caption) override { setText(caption); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hovered_ = false;
};

} // namespace upd
