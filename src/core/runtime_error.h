#pragma once

#include <QString>
#include <stdexcept>

namespace upd {

// Error numbers of the run time that the program's procedures raise. Their German descriptions are
// the ones users of the program's platform know.
namespace errnum {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;

// The transfer control's numbers.
inline constexpr int ResponseTooLarge = 7;
inline constexpr int BadUrl = 35752;
inline constexpr int ConnectFailed = 35754;
inline constexpr int HostNotFound = 35755;
inline constexpr int RequestFailed = 35756;
inline constexpr int TimedOut = 35761;
inline constexpr int StillExecuting = 35764;
} // namespace errnum

// German description of a run-time error number; a generic text for numbers we do not know.
QString runtimeErrorDescription(int number);

// The description of a request (RequestFailed) that the user's cancel ended.
QString cancelledRequestDescription();

// A run-time failure: a failed conversion, a file or engine error. Procedures with an error trap
// catch it at their boundary and turn it into their Boolean result and texts.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, QString description);

    int number() const { return number_; }
    const QString& description() const { return description_; }

    // "description (number)": how an error trap reports the failure.
    QString trapText() const;

private:
    int number_;
    QString description_;
};

} // namespace upd
