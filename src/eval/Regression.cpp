#include "eval/Regression.h"

#include "data/Errors.h"
#include "eval/Checked.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace vel {

void Regression(const RegressionPair* pairs, int n, int mode, double& covariance,
                double& determination, double& correlation, double& slope, double& intercept) {
    const bool logX = mode == 2 || mode == 4;
    const bool logY = mode == 3 || mode == 4;
    Real su = 0, sv = 0, suv = 0, suu = 0, svv = 0;
    for (int i = 0; i < n; ++i) {
        const Real u = logX ? ln(pairs[i].x) : Real(pairs[i].x);
        const Real v = logY ? ln(pairs[i].y) : Real(pairs[i].y);
        su += u;
        sv += v;
        suv += u * v;
        suu += u * u;
        svv += v * v;
    }
    const Real dn = n;
    // Products and differences of finite values can only overflow, so the order in which
    // the two sides of each operation are formed does not change the message.
    const Real num = dn * suv - su * sv;
    const Real denU = dn * suu - su * su;
    const Real denV = dn * svv - sv * sv;
    const Real b = num / denU;
    Real a = (sv - b * su) / dn;
    if (logY)
        a = exp(a);
    const Real r = num / sqrt(abs(denU) * abs(denV));
    const Real cov = (suv - su * sv / dn) / (dn - 1);
    covariance = cov.value();
    determination = (r * r).value();
    correlation = r.value();
    slope = b.value();
    intercept = a.value();
}

RegressionResult Regression(const std::vector<RegressionPair>& pairs, int mode) {
    RegressionResult res;
    Regression(pairs.data(), int(pairs.size()), mode, res.covariance, res.determination,
               res.correlation, res.slope, res.intercept);
    return res;
}

int CompareDescending(double a, double b) {
    if (a > b)
        return -1;
    if (a < b)
        return 1;
    return 0;
}

double Median(const double* values, int count) {
    std::vector<const double*> refs;
    refs.reserve(std::max(count, 0));
    for (int i = 0; i < count; ++i)
        refs.push_back(values + i);
    std::sort(refs.begin(), refs.end(),
              [](const double* a, const double* b) { return CompareDescending(*a, *b) < 0; });
    const int h = count / 2;
    auto at = [&](int pos) {
        if (pos < 0 || pos >= count)
            throw AppError(QStringLiteral("List index out of bounds (%1)").arg(pos));
        return *refs[pos];
    };
    if (count % 2 != 0)
        return at(h);
    // The sum of the two middle values as a 64-bit real, which overflows near the top of
    // the range.
    const Real upper = at(h - 1);
    const Real lower = at(h);
    return ((upper + lower) / 2).value();
}

double Median(const std::vector<double>& values) {
    return Median(values.data(), int(values.size()));
}

double Mean(const std::vector<double>& values) {
    LongReal sum = 0;
    for (double v : values)
        sum += v;
    return toReal(sum / (long double)values.size()).value();
}

double SampleStdDev(const std::vector<double>& values) {
    const LongReal m = values.size();
    LongReal sum = 0;
    for (double v : values)
        sum += v;
    const LongReal mean = sum / m;
    LongReal squares = 0;
    for (double v : values) {
        const LongReal d = v - mean;
        squares += d * d;
    }
    return toReal(sqrt(squares / (m - 1))).value();
}

} // namespace vel
