// Sine and cosine for the rules, made of IEEE additions, multiplications and one exact rounding
// to a whole number only, each rounded the same on every conforming build: the tongue's tip and
// the insects' flight come out bit for bit alike natively and in the browser, whatever the
// system's maths library does in its last bit.
#pragma once

#include <cmath>
#include <numbers>

namespace pondlark {

inline double PortableSin(double x) {
    constexpr double pi = std::numbers::pi;
    // Into [-pi, pi], then [-pi/2, pi/2], where the series below is good to about 3e-16.
    x -= std::nearbyint(x / (2 * pi)) * (2 * pi);
    if (x > pi / 2) x = pi - x;
    if (x < -pi / 2) x = -pi - x;
    const double x2 = x * x;
    // x - x^3/3! + x^5/5! - ... - x^19/19! + x^21/21!, in Horner's form.
    double sum = 1.0;
    for (int n = 21; n >= 3; n -= 2)
        sum = 1.0 - x2 / (static_cast<double>(n) * static_cast<double>(n - 1)) * sum;
    return x * sum;
}

inline double PortableCos(double x) {
    return PortableSin(x + std::numbers::pi / 2);
}

} // namespace pondlark
