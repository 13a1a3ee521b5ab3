#pragma once

#include "core/runtime_error.h"
#include "core/xml_document.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace upd {

// The program's number for a missing or unusable server answer.
inline constexpr std::int32_t AnswerUnusableError = 800400001;

// The root element of a server answer, whatever declaration or comment precedes it: an answer
// with updates must never be read as an empty one.
XmlNode answerRoot(const XmlDocument& answer);

// For an "error" answer: its number (first child) and text (second child). Raises a run-time
// error when the number is not numeric or a child is missing.
bool readErrorAnswer(const XmlNode& root, std::int32_t& errNumber, QString& errText);

// The failure step of both queries: number 800400001, and the pending run-time error's
// "description (number)" or, without one, the query's fixed text.
void reportQueryFailure(const std::optional<RuntimeError>& pending, const QString& fixedText,
                        std::int32_t& errNumber, QString& errText);

} // namespace upd
