#pragma once

#include "core/prompts.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace upd::test {

// Answers message and input boxes from a script and records every box that was shown.
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        QString text;
        QString title;
        MessageButtons buttons = MessageButtons::Ok;
        MessageIcon icon = MessageIcon::None;
        bool isInput = false;
        QString defaultText;
    };

    void answerNext(MessageAnswer answer) { answers_.push_back(answer); }
    void typeNext(const QString& text) { inputs_.push_back(text); }

    MessageAnswer messageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                             const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

    const std::vector<Shown>& shown() const { return shown_; }
    // The texts of all boxes shown, in order.
    std::vector<QString> texts() const;
    bool scriptUsedUp() const { return answers_.empty() && inputs_.empty(); }
    // Runs as each message box opens: a test looks at the window as the user sees it then.
    std::function<void(const QString& text)> whenShown;

private:
    std::deque<MessageAnswer> answers_;
    std::deque<QString> inputs_;
    std::vector<Shown> shown_;
};

} // namespace upd::test
