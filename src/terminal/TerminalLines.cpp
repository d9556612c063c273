// The wire in view: the byte counters of a run, and a serial link's modem
// lines, its DTR and RTS switches and the break.
#include "Terminal.h"

#include "platform/UiServices.h"
#include "ports/ComPort.h"

#include <algorithm>

namespace {
// The rate is the growth over this much time.
constexpr qint64 kRateWindowMs = 1000;

QString lineName(int bit)
{
    return bit == ModemBits::Dtr ? QStringLiteral("DTR") : QStringLiteral("RTS");
}
} // namespace

void CTerminal::startCounters()
{
    CPortEngine *port = currentPort();
    m_pCountedPort = port;
    m_nReceivedAtStart = port ? port->BytesReceived() : 0;
    m_nSentAtStart = port ? port->BytesSent() : 0;
    m_rateSamples.clear();
    m_rateClock.start();
}

CTerminal::Counters CTerminal::counters()
{
    Counters c;
    // Every port object once, whichever kinds share it.
    std::vector<CPortEngine *> ports;
    for (int kind : {1, 2, 0}) {
        CPortEngine *p = m_ports->port(kind);
        if (p && std::find(ports.begin(), ports.end(), p) == ports.end())
            ports.push_back(p);
    }
    for (const CPortEngine *p : ports) {
        c.totalReceived += p->BytesReceived();
        c.totalSent += p->BytesSent();
    }
    // The port of the last run, also once the settings name another kind.
    const CPortEngine *port = m_pCountedPort;
    if (!port || !m_rateClock.isValid())
        return c;
    c.received = port->BytesReceived() - m_nReceivedAtStart;
    c.sent = port->BytesSent() - m_nSentAtStart;
    const qint64 now = m_rateClock.elapsed();
    m_rateSamples.push_back({now, c.received});
    // The oldest sample kept is the last one at least a second old.
    while (m_rateSamples.size() > 2 && now - m_rateSamples[1].ms >= kRateWindowMs)
        m_rateSamples.pop_front();
    const RateSample &from = m_rateSamples.front();
    const qint64 span = now - from.ms;
    if (span > 0 && m_bRunning)
        c.receiveRate
            = double(c.received - from.received) * 1000.0 / double(std::max(span, kRateWindowMs));
    return c;
}

bool CTerminal::isSerialRunning() const
{
    return m_bRunning && m_settings.portKind == 1;
}

ModemLineState CTerminal::modemLines() const
{
    const auto *port = dynamic_cast<const CComPort *>(currentPort());
    return isSerialRunning() && port ? port->GetModemLines() : ModemLineState{};
}

int CTerminal::drivenLines() const
{
    return CComPort::DrivenLines(m_settings.protocol);
}

LineRequest CTerminal::setModemLine(int bit, bool up)
{
    auto *port = dynamic_cast<CComPort *>(currentPort());
    LineRequest result = LineRequest::NotRunning;
    if (isSerialRunning() && port)
        result = bit == ModemBits::Dtr ? port->SetDtr(up) : port->SetRts(up);
    switch (result) {
    case LineRequest::Done:
    case LineRequest::Queued:
        break;
    case LineRequest::NotRunning:
        emit statusMessage(tr("%1 can be switched while a serial link runs.").arg(lineName(bit)));
        break;
    case LineRequest::DrivenByHandshake:
        emit statusMessage(tr("%1 follows the handshake chosen in the port settings and cannot be "
                              "switched by hand.")
                               .arg(lineName(bit)));
        break;
    case LineRequest::NotSupported:
        emit statusMessage(tr("The device has no modem lines."));
        break;
    case LineRequest::Failed:
        emit statusMessage(tr("The device refused to switch %1.").arg(lineName(bit)));
        break;
    }
    if (result != LineRequest::Done)
        uiServices().beep();
    emit modemLinesChanged();
    return result;
}

LineRequest CTerminal::sendBreak()
{
    auto *port = dynamic_cast<CComPort *>(currentPort());
    const LineRequest result
        = isSerialRunning() && port ? port->SendBreak() : LineRequest::NotRunning;
    if (result == LineRequest::NotRunning) {
        uiServices().beep();
        emit statusMessage(tr("A break can be sent while a serial link runs."));
    }
    return result;
}

void CTerminal::onBreakDone()
{
    const auto *port = dynamic_cast<const CComPort *>(currentPort());
    if (!port)
        return;
    switch (port->LastBreakResult()) {
    case LineRequest::Done:
        emit statusMessage(tr("Break sent."));
        return;
    case LineRequest::NotSupported:
        emit statusMessage(tr("The device cannot send a break."));
        break;
    default:
        emit statusMessage(tr("The break could not be sent."));
        break;
    }
    uiServices().beep();
}
