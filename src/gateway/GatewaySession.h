#pragma once

#include "gateway/GatewayLink.h"
#include "gateway/GatewayUpload.h"

#include <QObject>

class CMainFrame;

// The main window's side of the media gateway configuration: the link to
// its port of the current kind, its display and its send progress, and the
// group address upload, which lives as long as the window so that it ends
// even when its dialog was closed during the pause after "ERASE!".
class CGatewaySession final : public QObject, public CGatewayLink
{
    Q_OBJECT
public:
    // The session of `frame`, made on first use; it goes with the window.
    static CGatewaySession &of(CMainFrame &frame);
    // Command 32777: the gateway dialog, modal.
    static void OnMediaGateway(CMainFrame &frame);

    CGatewayUpload &upload() { return m_upload; }

    bool isRunning() const override;
    int write(const QByteArray &bytes) override;
    void echoSent(const QByteArray &bytes) override;
    void startSendProgress(int blocks) override;

private:
    explicit CGatewaySession(CMainFrame &frame);
    void reportAbandonedUpload(int rows);

    CMainFrame &m_frame;
    CGatewayUpload m_upload;
};
