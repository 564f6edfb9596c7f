#pragma once
// Checked floating-point arithmetic: a division by zero, an invalid operation or an
// overflow raises the program's error instead of producing an infinity or a NaN.

namespace vel {

// a / b. b == 0 raises "Floating point division by zero", or "Invalid floating point
// operation" when a is 0 too; an infinite quotient raises "Floating point overflow".
double fdiv(double a, double b);
long double fdivl(long double a, long double b);

// Square root; a negative argument raises "Invalid floating point operation".
double fsqrt(double x);
long double fsqrtl(long double x);

// Natural logarithm; ln 0 raises "Floating point division by zero", the logarithm of a
// negative number "Invalid floating point operation".
double fln(double x);

// e^x, raising "Floating point overflow" when the result is infinite.
double fexp(double x);

// The result of a computation: NaN raises "Invalid floating point operation", an
// infinity "Floating point overflow". Returns x unchanged otherwise.
double fchk(double x);
long double fchkl(long double x);

} // namespace vel
