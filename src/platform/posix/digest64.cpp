#include "platform/posix/digest64.h"

#include <bit>
#include <cstring>

namespace platform {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

// In the machine's byte order: a mark is read back on the machine that wrote it, and one
// read on another kind only fails to match, which cuts nothing.
std::uint64_t Read64(const char* p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint32_t Read32(const char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint64_t Round(std::uint64_t lane, std::uint64_t input) {
    return std::rotl(lane + input * kPrime2, 31) * kPrime1;
}

std::uint64_t Merge(std::uint64_t digest, std::uint64_t lane) {
    return (digest ^ Round(0, lane)) * kPrime1 + kPrime4;
}

}  // namespace

std::uint64_t Digest64(std::string_view bytes, std::uint64_t seed) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    std::uint64_t digest;
    if (bytes.size() >= 32) {
        std::uint64_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
        for (; end - p >= 32; p += 32) {
            for (int i = 0; i < 4; ++i) {
                lanes[i] = Round(lanes[i], Read64(p + 8 * i));
            }
        }
        digest = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) +
                 std::rotl(lanes[3], 18);
        for (const std::uint64_t lane : lanes) {
            digest = Merge(digest, lane);
        }
    } else {
        digest = seed + kPrime5;
    }
    digest += bytes.size();
    for (; end - p >= 8; p += 8) {
        digest = std::rotl(digest ^ Round(0, Read64(p)), 27) * kPrime1 + kPrime4;
    }
    if (end - p >= 4) {
        digest = std::rotl(digest ^ (Read32(p) * kPrime1), 23) * kPrime2 + kPrime3;
        p += 4;
    }
    for (; p < end; ++p) {
        digest = std::rotl(digest ^ (static_cast<unsigned char>(*p) * kPrime5), 11) * kPrime1;
    }
    digest ^= digest >> 33;
    digest *= kPrime2;
    digest ^= digest >> 29;
    digest *= kPrime3;
    digest ^= digest >> 32;
    return digest;
}

}  // namespace platform
