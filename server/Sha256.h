// SHA-256 (FIPS 180-4), for the digest that tells one replay's bytes from another's.
#pragma once

#include <string>
#include <string_view>

namespace pondlark::scores {

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

} // namespace pondlark::scores
