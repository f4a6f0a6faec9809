#include "ValidatorRandom.h"

#include <cstring>

std::uint64_t ValidatorRandom::mix(std::uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::uint64_t ValidatorRandom::next()
{
    state += 0x9e3779b97f4a7c15ull;
    return mix(state);
}

std::int64_t ValidatorRandom::between(std::int64_t low, std::int64_t high)
{
    const std::uint64_t span = std::uint64_t(high - low) + 1;
    return span == 0 ? std::int64_t(next()) : low + std::int64_t(next() % span);
}

bool ValidatorRandom::chance(int percent) { return between(0, 99) < percent; }

float ValidatorRandom::unit() { return float(next() >> 40) / float((1u << 24) - 1); }

float ValidatorRandom::anyFloat()
{
    const auto bits = std::uint32_t(next());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string ValidatorRandom::text(int length)
{
    std::string result;
    for (int i = 0; i < length; ++i)
        result += char(between(0x20, 0x7e));
    return result;
}
