#pragma once

#include "core/prompts.h"

class QWidget;

namespace upd {

// Message and input boxes as real dialogs.
class MessagePrompts final : public Prompts {
public:
    explicit MessagePrompts(QWidget* parent = nullptr) : parent_(parent) {}

    MessageAnswer messageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                             const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

private:
    QWidget* parent_;
};

} // namespace upd
