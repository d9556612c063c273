#pragma once

#include "display/DisplayModel.h"
#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "platform/Clock.h"

#include <QApplication>

#include <gtest/gtest.h>

// A display model with its view shown in a window of its own, and a clock that stands still.
class ViewFixture : public ::testing::Test
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

    void show(const QByteArray &bytes, bool received = true)
    {
        model.append(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                     static_cast<int>(bytes.size()), received);
    }
    CDisplayWidget *display() const { return view.widget(); }
    const CDisplayBuffer &buffer() const { return model.buffer(); }
    QByteArray text() const { return buffer().text(); }
    // Lets pending scrolls and repaints happen.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    LocalTime now{2026, 12, 5, 10, 22, 24, 31};
    DisplaySettings settings;
    CharMapTable table;
    CDisplayModel model{settings, table};
    CRuKTerminalView view{model, settings};
};
