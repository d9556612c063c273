#include "GatewayUpload.h"

#include "gateway/GatewayCommands.h"
#include "gateway/GatewayLink.h"

CGatewayUpload::CGatewayUpload(CGatewayLink &link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the gateway needs the full pause.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CGatewayUpload::onTimeout);
}

bool CGatewayUpload::start(std::vector<GroupAddressEntry> table)
{
    if (m_pending)
        return false;
    m_table = std::move(table);
    SendGatewayText(m_link, gateway::eraseFrame());
    m_sinceErase.start();
    m_pending = true;
    m_timer.start(kEraseDelayMs);
    emit pendingChanged(true);
    return true;
}

void CGatewayUpload::onTimeout()
{
    // Never early, whatever the timer did.
    if (const qint64 left = kEraseDelayMs - m_sinceErase.elapsed(); left > 0) {
        m_timer.start(static_cast<int>(left));
        return;
    }
    if (m_table.empty()) {
        finish(); // the gateway's table is erased; nothing else to send
        return;
    }
    if (!m_link.isRunning()) {
        const int rows = static_cast<int>(m_table.size());
        finish();
        emit abandoned(rows);
        return;
    }
    const int blocks = SendGatewayText(m_link, gateway::definitionFrames(m_table));
    if (blocks != 0)
        m_link.startSendProgress(blocks);
    finish();
}

void CGatewayUpload::finish()
{
    m_table = {};
    m_pending = false;
    emit pendingChanged(false);
}
