#pragma once

#include <QString>

namespace upd {

// The program's message and input boxes. Procedures ask through this interface; the windows
// answer with real dialogs and tests answer from a script.
enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// Title of the program's message boxes unless a procedure names another.
inline const QString ProgramTitle = QStringLiteral("quorlan-Internet-Update");

class Prompts {
public:
    virtual ~Prompts() = default;

    virtual MessageAnswer messageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                                     const QString& title) = 0;

    // The input box's text, or "" when the user cancels.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;

    void critical(const QString& text, const QString& title = ProgramTitle) {
        messageBox(text, MessageButtons::Ok, MessageIcon::Critical, title);
    }
};

} // namespace upd
