// The program's error messages: the floating-point faults of the checked arithmetic and
// the text of the error box.
#include "data/Errors.h"
#include "eval/Checked.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <cmath>
#include <limits>

using namespace vel;
using testing_support::errorOf;

TEST(CheckedArithmetic, FaultsRaiseTheirMessages) {
    using vel::Real;
    EXPECT_EQ(errorOf([] { Real(1) / 0; }), kFpDivByZero);
    EXPECT_EQ(errorOf([] { Real(0) / 0; }), kFpInvalid);
    EXPECT_EQ(errorOf([] { sqrt(Real(-1)); }), kFpInvalid);
    EXPECT_EQ(errorOf([] { Real(1e300) / 1e-300; }), kFpOverflow);
    EXPECT_EQ(errorOf([] { Real(1e300) * 1e300; }), kFpOverflow);
    EXPECT_EQ(errorOf([] { Real(-1e308) - 1e308; }), kFpOverflow);
    EXPECT_EQ(errorOf([] { Real(std::numeric_limits<double>::infinity()); }), kFpOverflow);
    EXPECT_EQ(errorOf([] { Real(std::nan("")); }), kFpInvalid);
    EXPECT_EQ(errorOf([] { ln(Real(0)); }), kFpDivByZero);
    EXPECT_EQ(errorOf([] { ln(Real(-1)); }), kFpInvalid);
    EXPECT_EQ(errorOf([] { exp(Real(1000)); }), kFpOverflow);
    EXPECT_EQ(errorOf([] { toReal(vel::LongReal(1e308L) * 10); }), kFpOverflow);
    EXPECT_EQ((Real(1) / 4).value(), 0.25);
    EXPECT_EQ(sqrt(Real(0)).value(), 0);
    EXPECT_EQ((Real(1e-300) * 1e-300).value(), 0); // underflow is no error
}

// The first operation that fails names the error, not a later one that would fail too.
TEST(CheckedArithmetic, FirstFaultNamesTheError) {
    using vel::Real;
    EXPECT_EQ(errorOf([] { sqrt(Real(-1e308) * 10); }), kFpOverflow); // not the root
    EXPECT_EQ(errorOf([] { (Real(0) / 0) / 0; }), kFpInvalid);
    EXPECT_EQ(errorOf([] { (Real(1) / 0) * 0; }), kFpDivByZero);
    EXPECT_EQ(errorOf([] { ln(Real(1) - 1) / 0; }), kFpDivByZero);
    EXPECT_EQ(errorOf([] { Real x = 1e308; x += x; }), kFpOverflow);
}

TEST(ErrorBox, FullStopFollowsLettersAndDigitsOnly) {
    EXPECT_EQ(errorBoxText("File not found"), "File not found.");
    EXPECT_EQ(errorBoxText("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(errorBoxText("'x' is not a valid integer value"),
              "'x' is not a valid integer value.");
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("List index out of bounds (-1)"), "List index out of bounds (-1)");
    EXPECT_EQ(errorBoxText("a,"), "a,");
    EXPECT_EQ(errorBoxText("a-"), "a-");
    EXPECT_EQ(errorBoxText(""), "");
}
