#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// The 64-bit xxHash64 digest of `bytes` from `seed` (four lanes of 8-byte multiply-rotate
// rounds, then an avalanche): a fraction of a cycle a byte, where a byte-at-a-time hash such
// as FNV-1a takes several. Not cryptographic: it tells bytes apart
// that differ by accident, not by design. Chained (the digest of one piece as the seed of the
// next), it digests a sequence of pieces.
std::uint64_t Digest64(std::string_view bytes, std::uint64_t seed);

}  // namespace platform
