#pragma once

#include "platform/AtomicFile.h"
#include "transfer/ReceivedFileSink.h"

#include <vector>

// Writes a received file to disk, gathering small blocks into larger writes.
// The bytes go to a temporary file beside the target, which takes the
// target's place only when the file is complete: a reception that fails or is
// cancelled never destroys a file of that name. Its partial bytes are kept as
// "<name>.part".
class CDiskFileSink final : public CReceivedFileSink
{
public:
    explicit CDiskFileSink(const QString &path);
    ~CDiskFileSink() override;

    bool begin() override;
    bool write(const std::uint8_t *data, std::size_t length) override;
    bool end() override;
    QString abandon() override;
    QString errorText() const override { return m_error; }

    // Where the partial bytes of a reception that did not complete go.
    static QString partPath(const QString &path) { return path + QStringLiteral(".part"); }

private:
    bool flush();
    bool fail();

    QString m_path;
    AtomicFile m_file;
    bool m_open = false;
    std::vector<std::uint8_t> m_pending;
    QString m_error;
};
