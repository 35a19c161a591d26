#pragma once
// The demo data's random numbers: a fixed algorithm (xoshiro256** seeded by SplitMix64), so that the
// same seed gives the same database on every machine and compiler.
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace gs::demo {

class Random {
public:
    explicit Random(std::uint64_t seed)
    {
        std::uint64_t x = seed;
        for (std::uint64_t& s : s_)
            s = splitMix(x);
    }

    // A generator of its own for a numbered thing (a customer, a text variant), independent of the
    // order in which things are made.
    static Random For(std::uint64_t seed, std::uint64_t stream, std::uint64_t number)
    {
        std::uint64_t x = seed ^ (stream * 0x9E3779B97F4A7C15ULL);
        x = splitMix(x) ^ number;
        return Random(splitMix(x));
    }

    std::uint64_t next()
    {
        const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return result;
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Uniform integer in [lo, hi].
    long long between(long long lo, long long hi)
    {
        const std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<long long>(next() % span);
    }
    bool chance(double probability) { return unit() < probability; }
    // Log-uniform in [lo, hi]: as many amounts between 10 and 100 as between 1000 and 10000.
    double logUniform(double lo, double hi) { return std::exp(std::log(lo) + unit() * (std::log(hi) - std::log(lo))); }

    template <typename T>
    const T& pick(const std::vector<T>& list)
    {
        return list[static_cast<size_t>(next() % list.size())];
    }
    template <typename T, size_t N>
    const T& pick(const T (&list)[N])
    {
        return list[static_cast<size_t>(next() % N)];
    }
    // A value by weight: pairs (value, weight).
    template <typename T>
    T weighted(std::initializer_list<std::pair<T, int>> choices)
    {
        int total = 0;
        for (const auto& c : choices)
            total += c.second;
        long long roll = between(0, total - 1);
        for (const auto& c : choices) {
            if (roll < c.second)
                return c.first;
            roll -= c.second;
        }
        return choices.begin()->first;
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    static std::uint64_t splitMix(std::uint64_t& x)
    {
        std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint64_t s_[4];
};

} // namespace gs::demo
