#pragma once
// The least-squares straight-line fit and the median shared by the evaluations.

#include <vector>

namespace vel {

struct RegressionPair {
    double x;
    double y;
};

// Transform of each pair before summation: 1 none, 2 ln x, 3 ln y, 4 ln x and ln y.
// Fits v = a + b*u over the n pairs; in modes 3 and 4 the intercept is returned as e^a.
// Floating-point faults raise the program's errors and deliver no results.
void Regression(const RegressionPair* pairs, int n, int mode, double& covariance,
                double& determination, double& correlation, double& slope, double& intercept);

struct RegressionResult {
    double covariance = 0, determination = 0, correlation = 0, slope = 0, intercept = 0;
};
RegressionResult Regression(const std::vector<RegressionPair>& pairs, int mode);

// -1 when a > b, 0 when equal, +1 when a < b: sorts larger values first.
int CompareDescending(double a, double b);

// Median of count values (count at least 1); the values keep their order. An empty list
// raises "List index out of bounds (-1)".
double Median(const double* values, int count);
double Median(const std::vector<double>& values);

// Mean and sample standard deviation (divisor m - 1) of a list, summed in long double.
// The deviation is computed in two passes, so identical values give exactly 0.
double Mean(const std::vector<double>& values);
double SampleStdDev(const std::vector<double>& values);

} // namespace vel
