// Throughput of the display: received blocks of 2 KB go through the received-
// block queue into the display of a real (offscreen) main window, with a 1 MB
// display limit. Reports MB/s and the longest time the event loop was blocked.
#include "display/CharacterMapping.h"
#include "display/DisplayRendering.h"
#include "ports/ReceivedBlockQueue.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "platform/Event.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

namespace {

enum Mode { Text, TextTimestamps, Hex, TextMappingTimestamps };

QByteArray sampleBlock(int size)
{
    // Mostly printable text in lines of about 60 characters, with some control bytes.
    QByteArray block(size, '\0');
    for (int i = 0; i < size; ++i) {
        if (i % 61 == 60)
            block[i] = '\n';
        else if (i % 97 == 13)
            block[i] = static_cast<char>(i % 32);
        else
            block[i] = static_cast<char>(' ' + (i * 7) % 95);
    }
    return block;
}

void fullTable(CharMapTable &table)
{
    for (int c = 0; c < 256; ++c)
        table.setText(c, c < 32 ? QByteArray("<") + QByteArray::number(c, 16) + ">"
                                : QByteArray(1, static_cast<char>(c)));
}

void BM_DisplayThroughput(benchmark::State &state)
{
    const auto mode = static_cast<Mode>(state.range(0));
    QTemporaryDir dir;
    CMainFrame frame(dir.filePath(QStringLiteral("bench.ini")));
    frame.resize(1000, 700);
    frame.show();
    DisplaySettings &s = frame.settings().display;
    s.displayLimitOn = true;
    s.displayLimit = 1024 * 1024;
    s.hexMode = mode == Hex;
    s.timestampPerLine = mode == TextTimestamps || mode == TextMappingTimestamps;
    if (mode == TextMappingTimestamps) {
        fullTable(frame.charMapTable());
        s.charMappingOn = true;
    }
    QApplication::processEvents();

    const QByteArray block = sampleBlock(2048);
    const qint64 total = 64LL * 1024 * 1024;
    double worstStallMs = 0;
    for (auto _ : state) {
        CEvent stop;
        std::atomic<bool> done{false};
        std::thread producer([&] {
            auto &queue = CReceivedBlockQueue::instance();
            for (qint64 sent = 0; sent < total; sent += block.size()) {
                if (!queue.waitForRoom(stop))
                    return;
                QueueReceivedBlock(reinterpret_cast<const std::uint8_t *>(block.constData()),
                                   static_cast<std::uint32_t>(block.size()));
            }
            done = true;
        });
        // A 1 ms timer measures how long the event loop goes without turning.
        QElapsedTimer sinceTick;
        sinceTick.start();
        double stall = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            stall = std::max(stall, double(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        tick.start(1);
        QElapsedTimer guard;
        guard.start();
        // Done when the producer has queued everything and the display took it all.
        while (guard.elapsed() < 120000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            if (done && CReceivedBlockQueue::instance().queuedBlocks() == 0)
                break;
        }
        stop.set();
        producer.join();
        tick.stop();
        worstStallMs = std::max(worstStallMs, stall);
    }
    state.SetBytesProcessed(state.iterations() * total);
    state.counters["max_stall_ms"] = worstStallMs;
}

} // namespace

BENCHMARK(BM_DisplayThroughput)
    ->ArgName("mode")
    ->Arg(Text)
    ->Arg(TextTimestamps)
    ->Arg(Hex)
    ->Arg(TextMappingTimestamps)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

namespace {

// The pure conversions alone, without the widget.
void BM_RenderText(benchmark::State &state)
{
    const QByteArray block = sampleBlock(2048);
    CharMapTable table;
    const bool mapping = state.range(0) != 0;
    if (mapping)
        fullTable(table);
    const QByteArray ts = formatTimestamp({2026, 12, 5, 10, 22, 24, 31});
    for (auto _ : state) {
        QByteArray text
            = convertBytesForDisplay(reinterpret_cast<const std::uint8_t *>(block.constData()),
                                     block.size(), mapping, table);
        benchmark::DoNotOptimize(MapCharacters(text, false, ts, table, mapping));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * block.size());
}
BENCHMARK(BM_RenderText)->ArgName("mapping")->Arg(0)->Arg(1);

void BM_RenderHex(benchmark::State &state)
{
    const QByteArray block = sampleBlock(2048);
    int column = 0;
    for (auto _ : state) {
        QByteArray text = renderHex(reinterpret_cast<const std::uint8_t *>(block.constData()),
                                    block.size(), column, 16);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * block.size());
}
BENCHMARK(BM_RenderHex);

// Character mapping alone, forward with timestamps, with every code mapped to
// a name whose characters are themselves mapped (each byte expands twice):
// the display's worst everyday case. Reverse is the sending direction.
void namedTable(CharMapTable &table)
{
    for (int c = 1; c < 256; ++c) {
        if (c < 32 || c >= 127)
            table.setText(c, "<" + QByteArray::number(c, 16).toUpper() + ">");
        else if (c >= 'a' && c <= 'z')
            table.setText(c, QByteArray(1, static_cast<char>(c - 'a' + 'A')));
        else
            table.setText(c, QByteArray(1, static_cast<char>(c)));
    }
    table.setText('<', "[");
    table.setText('>', "]");
}

void BM_MapCharacters(benchmark::State &state)
{
    const bool reverse = state.range(0) != 0;
    CharMapTable table;
    namedTable(table);
    QByteArray block = sampleBlock(2048);
    if (reverse) {
        MapCharacters(block, false, {}, table, true);
        block.truncate(2048);
    }
    const QByteArray ts = formatTimestamp({2026, 12, 5, 10, 22, 24, 31});
    for (auto _ : state) {
        QByteArray text = block;
        benchmark::DoNotOptimize(
            MapCharacters(text, reverse, reverse ? QByteArray() : ts, table, true));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * block.size());
}
BENCHMARK(BM_MapCharacters)->ArgName("reverse")->Arg(0)->Arg(1);

} // namespace
