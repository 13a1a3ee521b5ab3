#include "ui/text_box_area.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace upd {
namespace {

QString shownForm(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

void setForeground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

// The document counts as modified only after an edit of the user: the program's own writes
// clear the mark, so that reading the text never has to compare it.
QString PlainTextArea::text() const {
    if (!box_->document()->isModified())
        return text_;
    // Edited by the user since: the program's form of the lines.
    return box_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void PlainTextArea::setText(const QString& text) {
    text_ = text;
    box_->setPlainText(shownForm(text));
    box_->document()->setModified(false);
    // New lines of a log or a message stay in view.
    box_->moveCursor(QTextCursor::End);
    box_->ensureCursorVisible();
}

void PlainTextArea::appendLine(const QString& line) {
    text_ = text();
    if (text_.isEmpty()) {
        setText(line);
        return;
    }
    // Only the new line is added to the box: it keeps its view at the end when it was there.
    text_ += QStringLiteral("\r\n") + line;
    box_->appendPlainText(shownForm(line));
    box_->document()->setModified(false);
}

void PlainTextArea::setTextColor(const QColor& color) {
    setForeground(box_, color);
}

QColor PlainTextArea::textColor() const {
    return box_->palette().color(QPalette::Text);
}

void PlainTextArea::refresh() {
    box_->viewport()->repaint();
}

QString LineTextArea::text() const {
    return box_->text();
}

void LineTextArea::setText(const QString& text) {
    box_->setText(text);
    box_->setCursorPosition(0);
}

void LineTextArea::setTextColor(const QColor& color) {
    setForeground(box_, color);
}

QColor LineTextArea::textColor() const {
    return box_->palette().color(QPalette::Text);
}

void LineTextArea::refresh() {
    box_->repaint();
}

} // namespace upd
