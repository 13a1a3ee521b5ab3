#pragma once

#include "core/xml_document.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace upd {

// The update server's answers, read into typed values. Every reader raises RuntimeError for an
// answer that lacks what it must hold, as the program's error traps expect.

// An "error" answer: number (first child) and text (second child).
struct ErrorAnswer {
    std::int32_t number = 0;
    QString text;
};

// The error answer when the root is "error"; nothing for every other root. Raises when the error
// lacks a child or its number is not a 32-bit number.
std::optional<ErrorAnswer> readErrorAnswer(const XmlNode& root);

// One line of the program-update listing.
struct ListedUpdate {
    QString version;
    QString name;
};

// True when the program-update answer holds any update.
bool hasProgramUpdates(const XmlNode& root);

// The program-update listing: the i-th "version" and the i-th "name" of the whole answer belong
// together. Raises when a version has no name.
std::vector<ListedUpdate> readProgramUpdateListing(const XmlDocument& answer);

// What the data search's answer says.
enum class DataSearchAnswer {
    NotUnderstood, // its first child is not "updatefound"
    NoUpdate,
    UpdateFound, // the root holds text
};

// Raises when the root has no child.
DataSearchAnswer readDataSearchAnswer(const XmlNode& root);

// True when the data download's answer holds at least one data set.
bool payloadHasSets(const XmlNode& root);

} // namespace upd
