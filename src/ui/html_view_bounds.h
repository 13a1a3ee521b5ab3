#pragma once

#include <QStringView>
#include <cstdint>

namespace upd {

// What an HTML page may demand of the HTML view (QTextBrowser) so that it is laid out in about a
// second: the view's layout time grows with the number of elements and table cells, doubles with
// every level of nested tables, and nesting far enough exhausts the stack.
struct HtmlViewBounds {
    qsizetype maxCharacters = 1024 * 1024;
    int maxDepth = 100;    // open elements, one inside the other
    int maxTableDepth = 6; // tables inside tables
    std::int64_t maxLayoutCost = 2 * 1024 * 1024;
};

// The layout cost counts a character 2^(table depth), an element 64 and a table cell 512.
inline constexpr std::int64_t ElementLayoutCost = 64;
inline constexpr std::int64_t CellLayoutCost = 512;

// True when the page stays within the bounds. Reads the page once, as the view will see its tags:
// comments, declarations, quoted attribute values, self-closing and void elements, the raw text
// of scripts and styles, and the end tags an HTML parser implies (a "p", "li", "td" or "tr" that
// the next one of its kind closes). Unknown end tags are ignored.
bool fitsHtmlView(QStringView page, const HtmlViewBounds& bounds = {});

} // namespace upd
