#pragma once

#include <QWidget>

namespace upd {

// The artwork at the top of the main window: a blue band with a light arc.
class HeaderArt final : public QWidget {
    Q_OBJECT
public:
    explicit HeaderArt(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace upd
