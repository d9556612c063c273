#pragma once

#include "gateway/GatewayLink.h"
#include "gateway/GatewayUpload.h"

#include <QObject>

class CTerminal;

// The terminal's side of the media gateway configuration: the link to its
// port of the current kind, its display and its send progress, and the group
// address upload, which lives as long as the terminal so that it ends even
// when its dialog was closed during the pause after "ERASE!".
class CGatewaySession final : public QObject, public CGatewayLink
{
    Q_OBJECT
public:
    // The session of `terminal`, made on first use; it goes with the terminal.
    static CGatewaySession &of(CTerminal &terminal);

    CGatewayUpload &upload() { return m_upload; }

    bool isRunning() const override;
    int write(const QByteArray &bytes) override;
    void echoSent(const QByteArray &bytes) override;
    void startSendProgress(int blocks) override;

private:
    explicit CGatewaySession(CTerminal &terminal);
    void reportAbandonedUpload(int rows);

    CTerminal &m_terminal;
    CGatewayUpload m_upload;
};
