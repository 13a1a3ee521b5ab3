#pragma once

#include "wizard/window_roles.h"

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace upd {

// A multi-line text box as the program's procedures see it. The program separates lines with
// CR LF; the box shows them as lines and gives back exactly the text it was given, unless the user
// has edited it since.
class PlainTextArea final : public TextArea {
public:
    explicit PlainTextArea(QPlainTextEdit* box) : box_(box) {}

    QString text() const override;
    void setText(const QString& text) override;
    void appendLine(const QString& line) override;
    void setTextColor(const QColor& color) override;
    void refresh() override;

    QColor textColor() const;
    QPlainTextEdit* widget() const { return box_; }

private:
    QPlainTextEdit* box_;
    QString text_;
};

// A one-line text box (a version, a directory).
class LineTextArea final : public TextArea {
public:
    explicit LineTextArea(QLineEdit* box) : box_(box) {}

    QString text() const override;
    void setText(const QString& text) override;
    void setTextColor(const QColor& color) override;
    void refresh() override;

    QColor textColor() const;
    QLineEdit* widget() const { return box_; }

private:
    QLineEdit* box_;
};

// Sets the text colour of any widget through its palette.
void setForeground(QWidget* widget, const QColor& color);

} // namespace upd
