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
    double su = 0, sv = 0, suv = 0, suu = 0, svv = 0;
    for (int i = 0; i < n; ++i) {
        double u = logX ? fln(pairs[i].x) : pairs[i].x;
        double v = logY ? fln(pairs[i].y) : pairs[i].y;
        su = fchk(su + u);
        sv = fchk(sv + v);
        suv = fchk(suv + fchk(u * v));
        suu = fchk(suu + fchk(u * u));
        svv = fchk(svv + fchk(v * v));
    }
    const double dn = n;
    const double num = fchk(fchk(dn * suv) - fchk(su * sv));
    const double denU = fchk(fchk(dn * suu) - fchk(su * su));
    const double denV = fchk(fchk(dn * svv) - fchk(sv * sv));
    const double b = fdiv(num, denU);
    double a = fdiv(fchk(sv - fchk(b * su)), dn);
    if (logY)
        a = fexp(a);
    const double r = fdiv(num, fsqrt(fchk(std::fabs(denU) * std::fabs(denV))));
    const double cov = fdiv(fchk(suv - fdiv(fchk(su * sv), dn)), dn - 1);
    covariance = cov;
    determination = fchk(r * r);
    correlation = r;
    slope = b;
    intercept = a;
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
    // The sum in extended precision, so two values near the top of the range do not
    // overflow before the halving; the median itself is stored as a 64-bit real.
    const long double upper = at(h - 1);
    const long double lower = at(h);
    return double(fchkl((upper + lower) / 2));
}

double Median(const std::vector<double>& values) {
    return Median(values.data(), int(values.size()));
}

double Mean(const std::vector<double>& values) {
    long double sum = 0;
    for (double v : values)
        sum += v;
    return double(fchkl(fdivl(sum, (long double)values.size())));
}

double SampleStdDev(const std::vector<double>& values) {
    const long double m = values.size();
    long double sum = 0;
    for (double v : values)
        sum += v;
    const long double mean = fdivl(sum, m);
    long double squares = 0;
    for (double v : values) {
        long double d = v - mean;
        squares += d * d;
    }
    return double(fchkl(fsqrtl(fdivl(squares, m - 1))));
}

} // namespace vel
