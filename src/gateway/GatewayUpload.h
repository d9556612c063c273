#pragma once

#include "gateway/GroupAddressEntry.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

class CGatewayLink;

// The group address upload: "ERASE!" alone, then, no sooner than 1600 ms
// later, every definition in one write. The pause runs on a timer, so the
// window keeps working meanwhile. The upload belongs to the terminal, not to
// the dialog that started it: a dialog closed during the pause does not stop
// it, and the gateway gets the table as it was when Send was pressed.
class CGatewayUpload final : public QObject
{
    Q_OBJECT
public:
    // The gateway is busy for 1500 ms from the moment it has the erase frame.
    // The pause runs from the moment the frame is queued, and the frame reaches
    // the gateway later by as much as the writer thread of a busy machine or a
    // USB serial adapter holds it back; measured at the far end, a pause of
    // exactly 1500 ms came out a few ms short about every other time.
    static constexpr int kEraseBusyMs = 1500;
    static constexpr int kEraseDelayMs = kEraseBusyMs + 100;

    explicit CGatewayUpload(CGatewayLink &link, QObject *parent = nullptr);

    // Sends the erase frame and keeps `table` for the definitions; false
    // (and nothing sent) while an earlier upload still waits.
    bool start(std::vector<GroupAddressEntry> table);
    bool isPending() const { return m_pending; }

signals:
    void pendingChanged(bool pending);
    // The definitions were not sent because the terminal stopped during the pause.
    void abandoned(int rows);

private:
    void onTimeout();
    void finish();

    CGatewayLink &m_link;
    QTimer m_timer;
    QElapsedTimer m_sinceErase;
    std::vector<GroupAddressEntry> m_table;
    bool m_pending = false;
};
