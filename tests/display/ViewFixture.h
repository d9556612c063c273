#pragma once

#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QImage>

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
    QImage shot() const { return display()->viewport()->grab().toImage(); }
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

// Whether `image` holds blue and red pixels: received and sent text painted or
// printed in their colours.
inline std::pair<bool, bool> blueAndRed(const QImage &image)
{
    bool blue = false, red = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue |= c.blue() > 150 && c.red() < 100 && c.green() < 100;
            red |= c.red() > 150 && c.blue() < 100 && c.green() < 100;
        }
    }
    return {blue, red};
}
