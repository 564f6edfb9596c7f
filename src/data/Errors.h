#pragma once
// Errors of the program: every failure is an exception that carries the exact text the
// error box shows. Commands do not catch them; the one guard around each command does.

#include <QString>
#include <stdexcept>

namespace vel {

class AppError : public std::runtime_error {
public:
    // Conversion: a field's text is not a number of the kind that was read from it.
    enum class Kind { General, Conversion };

    explicit AppError(const QString& message, Kind kind = Kind::General)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind) {}
    const QString& message() const noexcept { return m_message; }
    bool isConversion() const noexcept { return m_kind == Kind::Conversion; }

private:
    QString m_message;
    Kind m_kind;
};

// The texts of the floating-point faults.
inline const char* const kFpDivByZero = "Floating point division by zero";
inline const char* const kFpInvalid = "Invalid floating point operation";
inline const char* const kFpOverflow = "Floating point overflow";

// Text of the error box: a full stop follows a message whose last character has a code
// above that of the full stop; an empty message stays empty.
QString errorBoxText(const QString& message);

} // namespace vel
