#include "runchange.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <pthread.h>
#include <random>

namespace quorvale {

namespace {

// Counts the forks of this process, so that a child seeds a generator of its own.
std::atomic<unsigned> forks{0};

} // namespace

std::string NewIdentity()
{
    // Seeded from the kernel's generator (random_device on Linux) once per thread and process, so
    // that identities are unique across stations and restarts without a system call each: opening
    // a long run makes one per reading.
    [[maybe_unused]] static const int watchingForks = ::pthread_atfork(nullptr, nullptr, [] { forks.fetch_add(1); });
    thread_local std::mt19937_64 generator;
    thread_local std::optional<unsigned> seededAfter;
    if (seededAfter != forks.load()) {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        generator.seed(seed);
        seededAfter = forks.load();
    }
    static constexpr std::array<char, 16> Digits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                    '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string text(32, '0');
    for (std::size_t half = 0; half < 2; ++half) {
        std::uint64_t bits = generator();
        for (std::size_t digit = 0; digit < 16; ++digit, bits >>= 4)
            text[half * 16 + 15 - digit] = Digits[bits & 0xF];
    }
    return text;
}

} // namespace quorvale
