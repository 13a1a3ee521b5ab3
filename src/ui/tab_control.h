#pragma once

#include "wizard/window_roles.h"

#include <QTabWidget>

namespace upd {

// "SSTab1" as the program's procedures see it: a visible-tab index that can be read and set.
class TabWidgetControl final : public TabControl {
public:
    explicit TabWidgetControl(QTabWidget* tabs) : tabs_(tabs) {}

    int currentTab() const override { return tabs_->currentIndex(); }
    void setCurrentTab(int index) override { tabs_->setCurrentIndex(index); }

private:
    QTabWidget* tabs_;
};

} // namespace upd
