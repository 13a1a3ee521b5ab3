#pragma once

#include <cstdint>

namespace upd {

// The nine-digit error numbers of the updater and its update server, in one place. A number names
// the place of a failure; users quote it to the support line, so none of them may ever change.
// The run time's own small numbers (overflow, file not found, ...) are in runtime_error.h.
namespace errcode {

// The updater.
inline constexpr std::int32_t InstallationFailed = 800400000; // a failure inside the run
inline constexpr std::int32_t AnswerUnusable = 800400001;     // no usable server answer
inline constexpr std::int32_t DownloadFailed = 800400002;     // a download: failed, not genuine
inline constexpr std::int32_t SetupProgramMissing =
    800400003; // a setup program: missing, not genuine
inline constexpr std::int32_t TermsOfUseMissing = 800400005;       // "lizenz.txt"
inline constexpr std::int32_t SetupNotCompleted = 800400006;       // the "Working" flag stayed set
inline constexpr std::int32_t ManifestUnreadable = 800400007;      // "UpdateInfo.xml"
inline constexpr std::int32_t MalformedParameters = 800400008;     // the host's parameter string
inline constexpr std::int32_t MissingParkedParameters = 800400009; // the restart found nothing

// The archive password decoding.
inline constexpr std::int32_t PasswordKeyError = 900400019;
inline constexpr std::int32_t PasswordDecodeError = 900400032;

// The update server's answers; the updater passes them on unchanged.
inline constexpr std::int32_t MalformedRequest = 500400001;
inline constexpr std::int32_t UnknownProduct = 500400002;
inline constexpr std::int32_t PasswordUnavailable = 500400003;
inline constexpr std::int32_t ProgramUpdatesElsewhere = 500400011;
inline constexpr std::int32_t DataUpdatesElsewhere = 500400012;

} // namespace errcode
} // namespace upd
