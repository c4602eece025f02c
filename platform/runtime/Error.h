#pragma once

#include <QString>
#include <exception>

namespace platform {

// The numbers follow the classic runtime's error codes, so that a reader who knows them
// recognises each failure; the descriptions are what the user sees in a message box.
enum class ErrorCode : int {
    InvalidProcedureCall = 5,
    Overflow = 6,
    DivisionByZero = 11,
    FileNotFound = 53,
    InputPastEnd = 62,
    DeviceUnavailable = 68,
    PathFileAccess = 75,
    PathNotFound = 76,
    InvalidPropertyValue = 380,
    NoSuchArrayElement = 340,
    ArrayElementExists = 360,
};

// The one error type of the program. Every platform operation that can fail throws it;
// handlers either skip the failing step (see ResumeNext) or catch it to show its text.
class Error : public std::exception {
public:
    explicit Error(ErrorCode code);
    Error(ErrorCode code, QString description);

    ErrorCode code() const { return m_code; }
    int number() const { return static_cast<int>(m_code); }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override;

    static QString describe(ErrorCode code);

private:
    ErrorCode m_code;
    QString m_description;
    QByteArray m_what;
};

} // namespace platform
