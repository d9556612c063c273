#pragma once

#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "platform/Clock.h"

#include <QApplication>

#include <gtest/gtest.h>

// A terminal view shown in a window of its own, with a clock that stands still
// and a host that records the blocks handed to the receive triggers.
class ViewFixture : public ::testing::Test, public CDisplayHost
{
protected:
    ViewFixture()
    {
        view.resize(600, 300);
        view.show();
        QApplication::processEvents();
        setClockForTesting([this] { return now; });
    }
    ~ViewFixture() override { setClockForTesting({}); }
    void CheckReceiveTriggers(const std::uint8_t *data, int length) override
    {
        triggered.append(reinterpret_cast<const char *>(data), length);
    }

    void show(const QByteArray &bytes, bool received = true)
    {
        view.AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                             static_cast<int>(bytes.size()), received);
    }
    CDisplayWidget *display() const { return view.widget(); }
    const CDisplayBuffer &buffer() const { return view.widget()->buffer(); }
    QByteArray text() const { return buffer().text(); }
    // Lets pending scrolls and repaints happen.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    QByteArray triggered;
    LocalTime now{2026, 12, 5, 10, 22, 24, 31};
    DisplaySettings settings;
    CharMapTable table;
    CRuKTerminalView view{settings, table, this};
};
