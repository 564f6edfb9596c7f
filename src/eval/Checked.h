#pragma once
// Checked floating-point arithmetic: a real number whose every operation raises the
// program's error instead of producing an infinity or a NaN. Formulas written with it
// read as they are written on paper, and fail where the first operation fails:
// - a / b with b == 0 raises "Floating point division by zero", or "Invalid floating point
//   operation" when a is 0 too;
// - an infinite result (+, -, *, /, exp) raises "Floating point overflow";
// - the root of a negative number raises "Invalid floating point operation";
// - ln 0 raises "Floating point division by zero", the logarithm of a negative number
//   "Invalid floating point operation".
// Underflow is no error. C++ leaves the order of the two operands of an operator open:
// where both operands can fault with different messages, the code computes them in
// separate statements.

#include <compare>

namespace vel {

// Raise the errors above; defined once for both precisions.
[[noreturn]] void raiseInvalidOperation();
[[noreturn]] void raiseDivisionByZero();
[[noreturn]] void raiseOverflow();

template <typename T> class Checked {
public:
    constexpr Checked() = default;
    // From a plain number (a reading, a constant): NaN or an infinity raise as a result
    // would.
    Checked(T v) : m_v(check(v)) {} // NOLINT: implicit, so that 2 * x reads as written

    T value() const { return m_v; }

    friend Checked operator+(Checked a, Checked b) { return Checked(a.m_v + b.m_v); }
    friend Checked operator-(Checked a, Checked b) { return Checked(a.m_v - b.m_v); }
    friend Checked operator*(Checked a, Checked b) { return Checked(a.m_v * b.m_v); }
    friend Checked operator/(Checked a, Checked b) {
        if (b.m_v == 0) {
            if (a.m_v == 0)
                raiseInvalidOperation();
            raiseDivisionByZero();
        }
        return Checked(a.m_v / b.m_v);
    }
    Checked& operator+=(Checked b) { return *this = *this + b; }

    friend bool operator==(Checked a, Checked b) { return a.m_v == b.m_v; }
    friend auto operator<=>(Checked a, Checked b) { return a.m_v <=> b.m_v; }

private:
    static T check(T v) {
        if (v != v)
            raiseInvalidOperation();
        if (v - v != 0) // an infinity
            raiseOverflow();
        return v;
    }
    T m_v = 0;
};

using Real = Checked<double>;          // a 64-bit real
using LongReal = Checked<long double>; // extended precision where the platform has it

Real sqrt(Real x);
LongReal sqrt(LongReal x);
Real abs(Real x);
Real ln(Real x);
Real exp(Real x);

// Stores an extended-precision value as a 64-bit real (which may overflow).
inline Real toReal(LongReal x) {
    return Real(double(x.value()));
}

} // namespace vel
