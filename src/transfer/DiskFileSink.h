#pragma once

#include "transfer/ReceivedFileSink.h"

#include <QFile>

#include <vector>

// Writes a received file to disk, gathering small blocks into larger writes.
// The file stays open from the header to the last byte.
class CDiskFileSink final : public CReceivedFileSink
{
public:
    explicit CDiskFileSink(const QString &path);
    ~CDiskFileSink() override;

    bool begin() override;
    bool write(const std::uint8_t *data, std::size_t length) override;
    bool end() override;
    void abandon() override;
    QString errorText() const override { return m_error; }

private:
    bool flush();
    void fail();

    QFile m_file;
    std::vector<std::uint8_t> m_pending;
    QString m_error;
};
