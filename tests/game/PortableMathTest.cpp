// The rules' own sine and cosine agree with the system's to the last bits over the angles the
// tongue and the insects' flight use, and beyond (the reduction into one turn).
#include "game/PortableMath.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pondlark;

TEST(PortableMath, SineAndCosineAgreeWithTheSystemsOverManyTurns) {
    for (double x = -40.0; x <= 40.0; x += 0.0137) {
        EXPECT_NEAR(PortableSin(x), std::sin(x), 1e-14) << x;
        EXPECT_NEAR(PortableCos(x), std::cos(x), 1e-14) << x;
    }
    EXPECT_EQ(PortableSin(0.0), 0.0);
    EXPECT_NEAR(PortableSin(std::numbers::pi / 2), 1.0, 2.3e-16);
    EXPECT_NEAR(PortableCos(std::numbers::pi), -1.0, 2.3e-16);
}
