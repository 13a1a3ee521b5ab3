#include "ui/html_view_bounds.h"

#include <QString>
#include <vector>

namespace upd {
namespace {

bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

bool isOneOf(const QString& name, std::initializer_list<const char16_t*> names) {
    for (const char16_t* candidate : names) {
        if (name == QStringView(candidate))
            return true;
    }
    return false;
}

bool isVoid(const QString& name) {
    return isOneOf(name,
                   {u"area", u"base", u"basefont", u"br", u"col", u"embed", u"frame", u"hr", u"img",
                    u"input", u"link", u"meta", u"param", u"source", u"track", u"wbr"});
}

bool isCell(const QString& name) {
    return name == u"td" || name == u"th";
}

// The open elements, as far as their nesting costs the view.
class OpenElements {
public:
    explicit OpenElements(const HtmlViewBounds& bounds) : bounds_(bounds) {}

    // False when the page goes beyond the bounds.
    bool open(const QString& name) {
        closeImplied(name);
        cost_ += isCell(name) ? CellLayoutCost : ElementLayoutCost;
        if (isVoid(name))
            return withinCost();
        stack_.push_back(name);
        if (name == u"table")
            ++tables_;
        return int(stack_.size()) <= bounds_.maxDepth && tables_ <= bounds_.maxTableDepth &&
               withinCost();
    }

    // Closes the innermost element of that name and everything inside it; nothing when none is
    // open. The stack is never deeper than the bound, so this stays cheap.
    void close(const QString& name) {
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            if (*it == name) {
                const auto keep = stack_.size() - std::size_t(it - stack_.rbegin()) - 1;
                while (stack_.size() > keep)
                    pop();
                return;
            }
        }
    }

    bool addText(qsizetype characters) {
        cost_ += std::int64_t(characters) << tables_;
        return withinCost();
    }

private:
    // An opening tag that ends the open element of its kind, as HTML parsers do.
    void closeImplied(const QString& name) {
        const auto topIs = [this](std::initializer_list<const char16_t*> names) {
            return !stack_.empty() && isOneOf(stack_.back(), names);
        };
        if (isOneOf(name, {u"p",  u"div", u"ul",         u"ol",   u"dl", u"table",   u"li",
                           u"dt", u"dd",  u"h1",         u"h2",   u"h3", u"h4",      u"h5",
                           u"h6", u"pre", u"blockquote", u"form", u"hr", u"address", u"center"}) &&
            topIs({u"p"}))
            pop();
        if (name == u"li" && topIs({u"li"}))
            pop();
        if ((name == u"dt" || name == u"dd") && topIs({u"dt", u"dd"}))
            pop();
        if (name == u"option" && topIs({u"option"}))
            pop();
        if ((isCell(name) || name == u"tr") && topIs({u"td", u"th"}))
            pop();
        if (name == u"tr" && topIs({u"tr"}))
            pop();
    }

    void pop() {
        if (stack_.back() == u"table")
            --tables_;
        stack_.pop_back();
    }

    bool withinCost() const { return cost_ <= bounds_.maxLayoutCost; }

    const HtmlViewBounds& bounds_;
    std::vector<QString> stack_;
    int tables_ = 0;
    std::int64_t cost_ = 0;
};

// The index after the first `end` at or after `from`; the page's size when there is none.
qsizetype after(QStringView page, QStringView end, qsizetype from) {
    const qsizetype found = page.indexOf(end, from, Qt::CaseInsensitive);
    return found < 0 ? page.size() : found + end.size();
}

} // namespace

bool fitsHtmlView(QStringView page, const HtmlViewBounds& bounds) {
    if (page.size() > bounds.maxCharacters)
        return false;
    OpenElements elements(bounds);
    qsizetype i = 0;
    qsizetype textStart = 0;
    while (i < page.size()) {
        const QChar next = i + 1 < page.size() ? page[i + 1] : QChar();
        const bool markup =
            page[i] == u'<' && (next == u'!' || next == u'?' || next == u'/' || next.isLetter());
        if (!markup) {
            ++i; // text, also a "<" that starts no tag
            continue;
        }
        if (!elements.addText(i - textStart))
            return false;
        if (page.mid(i).startsWith(u"<!--")) {
            i = after(page, u"-->", i + 4);
        } else if (next == u'!' || next == u'?') {
            i = after(page, u">", i + 2);
        } else {
            const bool closing = next == u'/';
            qsizetype j = i + (closing ? 2 : 1);
            const qsizetype nameStart = j;
            while (j < page.size() && isNameCharacter(page[j]))
                ++j;
            const QString name = page.mid(nameStart, j - nameStart).toString().toLower();
            // To the tag's end, over quoted attribute values.
            QChar quote;
            bool selfClosing = false;
            for (; j < page.size(); ++j) {
                const QChar c = page[j];
                if (!quote.isNull()) {
                    if (c == quote)
                        quote = QChar();
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'>') {
                    selfClosing = page[j - 1] == u'/';
                    break;
                }
            }
            i = j + 1;
            if (closing) {
                elements.close(name);
            } else if (!name.isEmpty()) {
                if (!elements.open(name))
                    return false;
                if (selfClosing)
                    elements.close(name);
                else if (name == u"script" || name == u"style")
                    i = after(page, QString(QStringLiteral("</") + name), i);
            }
        }
        textStart = i;
    }
    return elements.addText(page.size() - std::min(textStart, page.size()));
}

} // namespace upd
