#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Blocks laid end to end in one buffer, so that a device or socket takes as
// many of them as it can in one system call: their bytes, and the offset at
// which each block ends (rising).
struct BlockRun
{
    std::span<const std::uint8_t> bytes;
    std::span<const std::size_t> ends;

    std::size_t size() const { return ends.size(); }
    std::size_t begin(std::size_t block) const { return block == 0 ? 0 : ends[block - 1]; }
    std::span<const std::uint8_t> block(std::size_t i) const
    {
        return bytes.subspan(begin(i), ends[i] - begin(i));
    }
};

// How far writing a run got: the bytes that are left, and the block under way.
class CWriteCursor final
{
public:
    explicit CWriteCursor(const BlockRun &run);

    bool atEnd() const { return m_block >= m_run.size(); }
    // The block under way; the block count once at the end.
    std::size_t block() const { return m_block; }
    // The rest of the run, and the rest of the block under way.
    const std::uint8_t *data() const { return m_run.bytes.data() + m_done; }
    std::size_t left() const { return m_run.bytes.size() - m_done; }
    std::size_t leftInBlock() const { return atEnd() ? 0 : m_run.ends[m_block] - m_done; }

    // `bytes` went out; returns how many blocks that finished.
    std::size_t advance(std::size_t bytes);
    // Gives up the rest of the block under way; returns how many blocks that
    // finished.
    std::size_t skipBlock();

private:
    std::size_t settle();

    BlockRun m_run;
    std::size_t m_done = 0;
    std::size_t m_block = 0;
};
