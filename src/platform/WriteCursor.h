#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include <sys/uio.h>

// A position in a run of blocks that go out back to back: what is left, as
// the iovecs of one gathered write, and which block is under way. Blocks of
// no bytes are passed over.
class CWriteCursor final
{
public:
    explicit CWriteCursor(std::span<const iovec> blocks);

    bool atEnd() const { return m_block >= m_left.size(); }
    // The block under way; the block count once at the end.
    std::size_t block() const { return m_block; }
    // The rest of the run, for writev() or sendmsg(); at most `max` iovecs.
    iovec *iov() { return m_left.data() + m_block; }
    int iovCount(std::size_t max = 1024) const;

    // `bytes` went out; true when that finished at least one block.
    bool advance(std::size_t bytes);
    // Gives up the rest of the block under way.
    void skipBlock();

private:
    void skipEmpty();

    std::vector<iovec> m_left;
    std::size_t m_block = 0;
};
