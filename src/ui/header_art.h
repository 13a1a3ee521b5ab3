#pragma once

#include <QWidget>

namespace upd {

// The artwork at the top of the main window: a blue band with a light arc.
class HeaderArt final : public QWidget {
    Q_OBJECT
public:
    explicit HeaderArt(QWidget* parent = nullptr);

    // How far the arcs reach in from the right edge; text must stay left of them.
    int artworkWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace upd
