#include "support/scripted_prompts.h"

namespace upd::test {

MessageAnswer ScriptedPrompts::messageBox(const QString& text, MessageButtons buttons,
                                          MessageIcon icon, const QString& title) {
    shown_.push_back({text, title, buttons, icon, false, {}});
    if (whenShown)
        whenShown(text);
    if (answers_.empty()) {
        // An unscripted box is answered with its first button, as pressing Enter would.
        switch (buttons) {
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Yes;
        case MessageButtons::RetryCancel:
            return MessageAnswer::Retry;
        case MessageButtons::AbortRetryIgnore:
            return MessageAnswer::Abort;
        default:
            return MessageAnswer::Ok;
        }
    }
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString ScriptedPrompts::inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    shown_.push_back(
        {prompt, title, MessageButtons::OkCancel, MessageIcon::None, true, defaultText});
    if (inputs_.empty())
        return defaultText;
    const QString text = inputs_.front();
    inputs_.pop_front();
    return text;
}

std::vector<QString> ScriptedPrompts::texts() const {
    std::vector<QString> result;
    for (const Shown& box : shown_)
        result.push_back(box.text);
    return result;
}

} // namespace upd::test
