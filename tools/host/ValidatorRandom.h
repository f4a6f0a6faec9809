// The validator's source of chance: splitmix64, so that one seed gives the same checks on
// every machine and a failure can be replayed with --seed.
#pragma once

#include <cstdint>
#include <string>

class ValidatorRandom {
public:
    explicit ValidatorRandom(std::uint64_t seed) : state(seed) {}

    std::uint64_t next();
    // A whole number from low to high, both included.
    std::int64_t between(std::int64_t low, std::int64_t high);
    // True `percent` times in a hundred.
    bool chance(int percent);
    // 0 to 1, both included.
    float unit();
    // Any 32-bit pattern: NaNs, infinities and subnormals included.
    float anyFloat();
    // Printable ASCII, `length` characters.
    std::string text(int length);

    // The mixing step alone: a stateless hash for callers on several threads.
    static std::uint64_t mix(std::uint64_t x);

private:
    std::uint64_t state;
};
