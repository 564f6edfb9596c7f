// Regression, Median and CompareDescending.

#include "data/Errors.h"
#include "eval/Regression.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <cfloat>
#include <cmath>
#include <vector>

using namespace vel;
using testing_support::errorOf;

namespace {

struct Fit {
    double covariance = -111, determination = -222, correlation = -333, slope = -444,
           intercept = -555;
};

Fit fit(const std::vector<RegressionPair>& pairs, int mode) {
    Fit f;
    Regression(pairs.data(), int(pairs.size()), mode, f.covariance, f.determination, f.correlation,
               f.slope, f.intercept);
    return f;
}

std::vector<RegressionPair> pairsOf(double (*fy)(double), int from, int to,
                                    double (*fx)(double) = nullptr) {
    std::vector<RegressionPair> v;
    for (int k = from; k <= to; ++k) {
        double x = fx ? fx(k) : k;
        v.push_back({x, fy(k)});
    }
    return v;
}

} // namespace

// --- Regression: the worked figures -------------------------------------------------------

TEST(Regression, TenPairsDoubleGiveSlopeTwoAndCovariance165Over9) {
    auto pairs = pairsOf([](double k) { return 2 * k; }, 1, 10);
    Fit f = fit(pairs, 1);
    EXPECT_DOUBLE_EQ(f.slope, 2);
    EXPECT_NEAR(f.intercept, 0, 1e-12);
    EXPECT_DOUBLE_EQ(f.correlation, 1);
    EXPECT_DOUBLE_EQ(f.determination, 1);
    EXPECT_DOUBLE_EQ(f.covariance, 165.0 / 9.0);
}

TEST(Regression, DecreasingRelationGivesCorrelationMinusOne) {
    auto pairs = pairsOf([](double k) { return -k; }, 1, 10);
    Fit f = fit(pairs, 1);
    EXPECT_DOUBLE_EQ(f.slope, -1);
    EXPECT_NEAR(f.intercept, 0, 1e-12);
    EXPECT_DOUBLE_EQ(f.correlation, -1);
    EXPECT_DOUBLE_EQ(f.determination, 1);
    EXPECT_DOUBLE_EQ(f.covariance, -55.0 / 6.0); // -(82.5 / 9)
}

TEST(Regression, GeneralLineWithNoise) {
    // y = 3 + 0.5 x with residuals that sum to 0 and are orthogonal to x.
    std::vector<RegressionPair> p = {{1, 3.5 + 1}, {2, 4 - 1}, {3, 4.5 - 1}, {4, 5 + 1}};
    Fit f = fit(p, 1);
    // Su=10, Sv=18, Suv=47.5-... computed directly:
    double su = 0, sv = 0, suv = 0, suu = 0, svv = 0;
    for (auto q : p) {
        su += q.x;
        sv += q.y;
        suv += q.x * q.y;
        suu += q.x * q.x;
        svv += q.y * q.y;
    }
    double b = (4 * suv - su * sv) / (4 * suu - su * su);
    EXPECT_DOUBLE_EQ(f.slope, b);
    EXPECT_DOUBLE_EQ(f.intercept, (sv - b * su) / 4);
    double r = (4 * suv - su * sv) /
               std::sqrt(std::fabs(4 * suu - su * su) * std::fabs(4 * svv - sv * sv));
    EXPECT_DOUBLE_EQ(f.correlation, r);
    EXPECT_DOUBLE_EQ(f.determination, r * r);
    EXPECT_DOUBLE_EQ(f.covariance, (suv - su * sv / 4) / 3);
}

TEST(Regression, ModeThreeTransformsYAndReturnsExpIntercept) {
    auto pairs = pairsOf([](double k) { return std::exp(0.5 * k); }, 1, 10);
    Fit f = fit(pairs, 3);
    EXPECT_NEAR(f.slope, 0.5, 1e-12);
    EXPECT_NEAR(f.intercept, 1, 1e-12);
    EXPECT_NEAR(f.correlation, 1, 1e-12);
}

TEST(Regression, ModeTwoTransformsX) {
    // y = 3 + 2 ln x with x = e^k
    auto pairs =
        pairsOf([](double k) { return 3 + 2 * k; }, 1, 10, [](double k) { return std::exp(k); });
    Fit f = fit(pairs, 2);
    EXPECT_NEAR(f.slope, 2, 1e-12);
    EXPECT_NEAR(f.intercept, 3, 1e-12); // not transformed back in mode 2
    EXPECT_NEAR(f.covariance, 2 * 55.0 / 6.0, 1e-9);
}

TEST(Regression, ModeFourTransformsBoth) {
    // y = 5 * x^1.5: ln y = ln 5 + 1.5 ln x
    std::vector<RegressionPair> p;
    for (int k = 1; k <= 10; ++k)
        p.push_back({double(k), 5 * std::pow(double(k), 1.5)});
    Fit f = fit(p, 4);
    EXPECT_NEAR(f.slope, 1.5, 1e-12);
    EXPECT_NEAR(f.intercept, 5, 1e-11);
    EXPECT_NEAR(f.determination, 1, 1e-12);
}

TEST(Regression, FortyPairsAndVectorOverloadAgree) {
    std::vector<RegressionPair> p;
    for (int k = 0; k < 40; ++k)
        p.push_back({double(100 + 7 * k % 13 * 30), double(95 + (k * 37) % 300)});
    Fit f = fit(p, 1);
    RegressionResult r = Regression(p, 1);
    EXPECT_EQ(r.slope, f.slope);
    EXPECT_EQ(r.intercept, f.intercept);
    EXPECT_EQ(r.correlation, f.correlation);
    EXPECT_EQ(r.determination, f.determination);
    EXPECT_EQ(r.covariance, f.covariance);
}

TEST(Regression, PairsAreNotChanged) {
    auto pairs = pairsOf([](double k) { return 2 * k + 1; }, 1, 10);
    auto copy = pairs;
    fit(pairs, 4);
    for (size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_EQ(pairs[i].x, copy[i].x);
        EXPECT_EQ(pairs[i].y, copy[i].y);
    }
}

// --- Regression: failures ------------------------------------------------------------------

TEST(Regression, AllXZeroIsInvalidAndDeliversNothing) {
    std::vector<RegressionPair> p;
    for (int k = 1; k <= 10; ++k)
        p.push_back({0, double(k)});
    Fit f;
    EXPECT_EQ(errorOf([&] {
                  Regression(p.data(), 10, 1, f.covariance, f.determination, f.correlation, f.slope,
                             f.intercept);
              }),
              "Invalid floating point operation");
    EXPECT_EQ(f.covariance, -111);
    EXPECT_EQ(f.determination, -222);
    EXPECT_EQ(f.correlation, -333);
    EXPECT_EQ(f.slope, -444);
    EXPECT_EQ(f.intercept, -555);
}

TEST(Regression, AllXEqualFails) {
    std::vector<RegressionPair> p;
    for (int k = 1; k <= 10; ++k)
        p.push_back({250, double(k * k)});
    QString e = errorOf([&] { fit(p, 1); });
    EXPECT_TRUE(e == "Invalid floating point operation" || e == "Floating point division by zero")
        << e.toStdString();
    // integers: the sums are exact, so the numerator is 0 too
    EXPECT_EQ(e, "Invalid floating point operation");
}

TEST(Regression, AllYEqualFailsInTheCorrelation) {
    std::vector<RegressionPair> p;
    for (int k = 1; k <= 10; ++k)
        p.push_back({double(100 * k), 50});
    EXPECT_EQ(errorOf([&] { fit(p, 1); }), "Invalid floating point operation");
}

TEST(Regression, SinglePairFails) {
    std::vector<RegressionPair> p = {{3, 4}};
    EXPECT_EQ(errorOf([&] { fit(p, 1); }), "Invalid floating point operation");
}

TEST(Regression, LogOfZeroOrNegativeFailsInModesTwoToFour) {
    std::vector<RegressionPair> p = {{1, 1}, {0, 2}, {3, 3}};
    EXPECT_EQ(errorOf([&] { fit(p, 2); }), "Floating point division by zero");
    EXPECT_EQ(errorOf([&] { fit(p, 4); }), "Floating point division by zero");
    std::vector<RegressionPair> q = {{1, 1}, {2, -2}, {3, 3}};
    EXPECT_EQ(errorOf([&] { fit(q, 3); }), "Invalid floating point operation");
    EXPECT_EQ(errorOf([&] { fit(q, 4); }), "Invalid floating point operation");
    // mode 1 and mode 2 do not log y
    EXPECT_EQ(errorOf([&] { fit(q, 1); }), "<no error>");
    EXPECT_EQ(errorOf([&] { fit(q, 2); }), "<no error>");
}

TEST(Regression, OverflowIsAnError) {
    std::vector<RegressionPair> p = {{1e200, 1}, {2e200, 2}, {3e200, 3}};
    EXPECT_EQ(errorOf([&] { fit(p, 1); }), "Floating point overflow");
}

// --- Median and CompareDescending -------------------------------------------------------------

TEST(Median, WorkedFigures) {
    EXPECT_EQ(Median(std::vector<double>{5}), 5);
    EXPECT_EQ(Median(std::vector<double>{3, 1, 2}), 2);
    EXPECT_EQ(Median(std::vector<double>{4, 1, 3, 2}), 2.5);
    EXPECT_EQ(Median(std::vector<double>{7, 7}), 7);
    EXPECT_EQ(Median(std::vector<double>{-1, -5, 10, 0, 3}), 0);
    EXPECT_EQ(Median(std::vector<double>{1.5, 1.5, 1.5, 9}), 1.5);
}

TEST(Median, KeepsTheCallersOrder) {
    std::vector<double> v = {4, 1, 3, 2};
    double raw[] = {9, 8, 7, 1, 2};
    EXPECT_EQ(Median(v), 2.5);
    EXPECT_EQ(Median(raw, 5), 7);
    EXPECT_EQ(v, (std::vector<double>{4, 1, 3, 2}));
    EXPECT_EQ(raw[0], 9);
    EXPECT_EQ(raw[3], 1);
    EXPECT_EQ(raw[4], 2);
}

TEST(Median, EmptyListFailsWithTheListIndexError) {
    EXPECT_EQ(errorOf([] { Median(std::vector<double>{}); }), "List index out of bounds (-1)");
    EXPECT_EQ(errorOf([] { Median(nullptr, 0); }), "List index out of bounds (-1)");
}

TEST(Median, EvenCountNearTheTopOfTheRangeOverflows) {
    // The two middle values are added as 64-bit reals, before the halving.
    EXPECT_EQ(errorOf([] { Median(std::vector<double>{1.7e308, 1.7e308}); }), kFpOverflow);
    EXPECT_EQ(errorOf([] { Median(std::vector<double>{-DBL_MAX, -DBL_MAX, 0}); }), "<no error>");
    EXPECT_EQ(errorOf([] { Median(std::vector<double>{-DBL_MAX, -DBL_MAX}); }), kFpOverflow);
}

TEST(CompareDescending, SignsSortLargerFirst) {
    EXPECT_EQ(CompareDescending(2, 1), -1);
    EXPECT_EQ(CompareDescending(1, 2), 1);
    EXPECT_EQ(CompareDescending(1, 1), 0);
    EXPECT_EQ(CompareDescending(-3, -3), 0);
    EXPECT_EQ(CompareDescending(0, -0.0), 0);
}
