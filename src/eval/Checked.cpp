#include "eval/Checked.h"

#include "data/Errors.h"

#include <cmath>

namespace vel {

namespace {
template <typename T> T checkedDiv(T a, T b) {
    if (std::isnan(a) || std::isnan(b))
        throw AppError(kFpInvalid);
    if (b == 0) {
        if (a == 0)
            throw AppError(kFpInvalid);
        throw AppError(kFpDivByZero);
    }
    T q = a / b;
    if (std::isnan(q))
        throw AppError(kFpInvalid);
    if (std::isinf(q))
        throw AppError(kFpOverflow);
    return q;
}

template <typename T> T checkedResult(T x) {
    if (std::isnan(x))
        throw AppError(kFpInvalid);
    if (std::isinf(x))
        throw AppError(kFpOverflow);
    return x;
}
} // namespace

double fdiv(double a, double b) {
    return checkedDiv(a, b);
}
long double fdivl(long double a, long double b) {
    return checkedDiv(a, b);
}

double fsqrt(double x) {
    if (std::isnan(x) || x < 0)
        throw AppError(kFpInvalid);
    return checkedResult(std::sqrt(x));
}

long double fsqrtl(long double x) {
    if (std::isnan(x) || x < 0)
        throw AppError(kFpInvalid);
    return checkedResult(std::sqrt(x));
}

double fln(double x) {
    if (x == 0)
        throw AppError(kFpDivByZero);
    if (std::isnan(x) || x < 0)
        throw AppError(kFpInvalid);
    return checkedResult(std::log(x));
}

double fexp(double x) {
    return checkedResult(std::exp(checkedResult(x)));
}

double fchk(double x) {
    return checkedResult(x);
}
long double fchkl(long double x) {
    return checkedResult(x);
}

} // namespace vel
