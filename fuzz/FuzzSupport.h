#pragma once
// Shared by the fuzz targets: how a broken expectation is reported.

#include "data/Errors.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace fuzz {

// Prints what went wrong and aborts, which libFuzzer records as a crash with its input.
[[noreturn]] inline void fail(const QString& what) {
    std::fprintf(stderr, "\n*** fuzz expectation broken: %s\n", qPrintable(what));
    std::fflush(stderr);
    std::abort();
}

inline void expect(bool ok, const QString& what) {
    if (!ok)
        fail(what);
}

// Runs f; returns the message of the AppError it raised, or a null string when it raised
// nothing. Any other exception is a fault of its own.
template <typename F> QString appErrorOf(F&& f) {
    try {
        f();
    } catch (const vel::AppError& e) {
        return e.message().isNull() ? QStringLiteral("") : e.message();
    } catch (const std::exception& e) {
        fail(QStringLiteral("unexpected exception: %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        fail(QStringLiteral("unexpected exception of an unknown type"));
    }
    return QString();
}

} // namespace fuzz
