#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace upd::test {

// A window's control by the name the program gives it ("lblStart", "txtHinweis(1)"), as a user's
// view of the window would find it. A missing control fails the test.
template <class Control> Control* named(QObject& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr)
        throw std::runtime_error(std::string("no control named ") + name);
    return control;
}

} // namespace upd::test
