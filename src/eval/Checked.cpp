#include "eval/Checked.h"

#include "data/Errors.h"

#include <cmath>

namespace vel {

void raiseInvalidOperation() {
    throw AppError(kFpInvalid);
}
void raiseDivisionByZero() {
    throw AppError(kFpDivByZero);
}
void raiseOverflow() {
    throw AppError(kFpOverflow);
}

Real sqrt(Real x) {
    if (x < 0)
        raiseInvalidOperation();
    return std::sqrt(x.value());
}

LongReal sqrt(LongReal x) {
    if (x < 0)
        raiseInvalidOperation();
    return std::sqrt(x.value());
}

Real abs(Real x) {
    return std::fabs(x.value());
}

Real ln(Real x) {
    if (x == 0)
        raiseDivisionByZero();
    if (x < 0)
        raiseInvalidOperation();
    return std::log(x.value());
}

Real exp(Real x) {
    return std::exp(x.value());
}

} // namespace vel
