#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What a fuzz target checks beyond "no crash": a broken invariant ends the run
// like a crash, so the fuzzer keeps the input and the replay test fails on it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__,           \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Splits one fuzz input into the values a target needs: numbers and switches
// from its end, byte strings from its front, so that a seed file can be a
// plain file followed by a few control bytes. Once the input is used up,
// every value is its smallest.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_begin(0)
        , m_end(size)
    {}

    std::size_t remaining() const { return m_end - m_begin; }

    // An integer in [lo, hi] from the bytes at the end.
    long long number(long long lo, long long hi)
    {
        if (hi <= lo)
            return lo;
        const unsigned long long range = static_cast<unsigned long long>(hi - lo);
        unsigned long long value = 0;
        for (unsigned long long seen = 0; seen < range && m_end > m_begin;
             seen = (seen << 8) | 0xFF)
            value = (value << 8) | m_data[--m_end];
        return lo + static_cast<long long>(range == ~0ULL ? value : value % (range + 1));
    }
    int intInRange(int lo, int hi) { return static_cast<int>(number(lo, hi)); }
    bool boolean() { return number(0, 1) != 0; }

    // Up to `max` bytes from the front.
    QByteArray bytes(std::size_t max)
    {
        const std::size_t n = max < remaining() ? max : remaining();
        QByteArray out(reinterpret_cast<const char *>(m_data + m_begin), static_cast<qsizetype>(n));
        m_begin += n;
        return out;
    }
    // A byte string whose length comes from the end, up to `max`.
    QByteArray sizedBytes(std::size_t max)
    {
        return bytes(static_cast<std::size_t>(number(0, static_cast<long long>(max))));
    }
    QByteArray rest() { return bytes(remaining()); }

private:
    const std::uint8_t *m_data;
    std::size_t m_begin;
    std::size_t m_end;
};

// The entry point every target defines; LLVMFuzzerInitialize(int *, char ***)
// is optional.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
