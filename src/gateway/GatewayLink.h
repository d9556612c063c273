#pragma once

#include <QByteArray>

// What the gateway commands need of the terminal: its port of the current
// kind, its display and its send progress.
class CGatewayLink
{
public:
    virtual ~CGatewayLink() = default;

    virtual bool isRunning() const = 0;
    // Queues the bytes at the port of the current kind; the number of
    // TxBlocks queued, 0 when the port is not started.
    virtual int write(const QByteArray &bytes) = 0;
    // Shows the bytes in the display as sent data.
    virtual void echoSent(const QByteArray &bytes) = 0;
    // Shows the progress of sending `blocks` queued TxBlocks.
    virtual void startSendProgress(int blocks) = 0;
};

// Writes `text` (whole frames) to the link and shows it in the display as
// sent data, whatever the local echo switch says; returns the block count.
int SendGatewayText(CGatewayLink &link, const QByteArray &text);
