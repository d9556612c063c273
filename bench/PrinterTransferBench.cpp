// End to end through the main window over loopback TCP to the printer
// simulator: a large file sent to the printer (CRC pass, header, streaming,
// local echo into the display at its defaults) and the same file fetched back.
// Reports MB/s, the growth of the program's peak RSS and the longest time the
// event loop did not turn. ORBA_BENCH_MB sets the file size (default 200).
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

namespace {

qint64 fileMegabytes()
{
    const int mb = qEnvironmentVariableIntValue("ORBA_BENCH_MB");
    return mb > 0 ? mb : 200;
}

// Peak resident size of this process in KB, and a reset of that peak.
qint64 peakRssKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6));
    }
    return -1;
}
void resetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// CPU seconds of all the program's threads: on a busy machine, with the wall
// time, how much of it the program got.
double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Answers the file dialogs with fixed paths and records the message boxes.
class BenchUi final : public UiServices
{
public:
    void beep() override {}
    void messageBox(const QString &text, const QString &, Icon) override { messages << text; }
    Answer question(const QString &, const QString &, bool) override { return Answer::Cancel; }
    QString openFileName(const FileDialog &) override { return openPath; }
    QString saveFileName(const FileDialog &) override { return savePath; }

    QString openPath;
    QString savePath;
    QStringList messages;
};

struct Session
{
    QTemporaryDir dir;
    QString folder;
    QString source;
    QProcess sim;
    QString simOutput;
    BenchUi ui;
    std::unique_ptr<CMainFrame> frame;
    QTimer nameDialogs;
    QString printerName = QStringLiteral("BENCH.BIN");

    bool start()
    {
        folder = dir.filePath(QStringLiteral("printer"));
        QDir().mkpath(folder);
        source = dir.filePath(QStringLiteral("source.bin"));
        writeSource();
        sim.setProgram(QStringLiteral(ORBA_PRINTER_SIM));
        sim.setArguments({"--tcp", "0", "--dir", folder});
        sim.start();
        if (!waitForSim("listening on 127.0.0.1:", 10000))
            return false;
        const qsizetype at = simOutput.indexOf(QLatin1String("127.0.0.1:")) + 10;
        const int port = simOutput.mid(at, simOutput.indexOf(u'\n', at) - at).toInt();

        setUiServices(&ui);
        frame = std::make_unique<CMainFrame>(dir.filePath(QStringLiteral("bench.ini")));
        frame->resize(1000, 700);
        frame->show();
        TerminalSettings &s = frame->settings();
        s.portKind = 0;
        s.address = QStringLiteral("127.0.0.1");
        s.portNumber = port;
        s.socketType = 1;
        frame->OnTerminalStart();
        // The printer name dialog is answered as soon as it shows.
        QObject::connect(&nameDialogs, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (auto *edit = dialog ? dialog->findChild<QLineEdit *>("fileName") : nullptr) {
                edit->setText(printerName);
                dialog->accept();
            }
        });
        nameDialogs.start(2);
        return frame->isRunning();
    }
    ~Session()
    {
        frame.reset();
        setUiServices(nullptr);
        sim.kill();
        sim.waitForFinished(5000);
    }

    void writeSource()
    {
        // Text-like lines with some control bytes, as a printer file would hold.
        QFile f(source);
        f.open(QIODevice::WriteOnly);
        QByteArray chunk(1024 * 1024, '\0');
        for (qsizetype i = 0; i < chunk.size(); ++i)
            chunk[i] = i % 81 == 80 ? '\n' : static_cast<char>(' ' + (i * 7) % 95);
        for (qint64 i = 0; i < fileMegabytes(); ++i)
            f.write(chunk);
    }

    bool waitForSim(const char *text, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            simOutput += QString::fromLocal8Bit(sim.readAllStandardOutput());
            if (simOutput.contains(QLatin1String(text)))
                return true;
        }
        return false;
    }
};

// Runs `action` and then the event loop until `done`, measuring time, peak RSS
// growth and the longest gap between two turns of a 1 ms timer.
template<typename Done>
void measure(benchmark::State &state, const std::function<void()> &action, Done done)
{
    QApplication::processEvents();
    const qint64 baseKb = peakRssKb();
    resetPeakRss();
    const qint64 startKb = peakRssKb();
    QElapsedTimer sinceTick;
    QElapsedTimer total;
    double stallMs = 0;
    const double cpuBefore = processCpuSeconds();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double gap = double(sinceTick.nsecsElapsed()) / 1e6;
        if (gap > 100 && qEnvironmentVariableIsSet("ORBA_BENCH_TRACE"))
            std::fprintf(stderr, "stall of %.0f ms ending at %.0f ms\n", gap,
                         double(total.nsecsElapsed()) / 1e6);
        stallMs = std::max(stallMs, gap);
        sinceTick.restart();
    });
    total.start();
    sinceTick.start();
    tick.start(1);
    action();
    if (qEnvironmentVariableIsSet("ORBA_BENCH_TRACE"))
        std::fprintf(stderr, "command returned at %.0f ms\n", double(total.nsecsElapsed()) / 1e6);
    while (!done() && total.elapsed() < 600000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = double(total.nsecsElapsed()) / 1e9;
    tick.stop();
    state.SetIterationTime(seconds);
    state.counters["MB_per_s"] = double(fileMegabytes()) * 1024 * 1024 / 1e6 / seconds;
    state.counters["peak_rss_growth_MB"] = double(peakRssKb() - startKb) / 1024;
    state.counters["rss_before_MB"] = double(baseKb) / 1024;
    state.counters["max_stall_ms"] = stallMs;
    state.counters["completed"] = done() ? 1 : 0;
    state.counters["process_cpu_s"] = processCpuSeconds() - cpuBefore;
}

void BM_SendFileToPrinter(benchmark::State &state)
{
    Session s;
    if (!s.start()) {
        state.SkipWithError("the simulator or the link did not start");
        return;
    }
    // Local echo is on by default; off shows the transfer's own cost.
    s.frame->settings().localEcho = state.range(0) != 0;
    for (auto _ : state) {
        s.ui.openPath = s.source;
        const QString stored = QStringLiteral("stored ") + s.printerName;
        measure(
            state, [&] { s.frame->action(CommandId::SendFileToPrinter)->trigger(); },
            [&] {
                s.simOutput += QString::fromLocal8Bit(s.sim.readAllStandardOutput());
                return s.simOutput.contains(stored);
            });
        if (!s.simOutput.contains(QLatin1String(" ok)")))
            state.SkipWithError(qPrintable(s.simOutput));
    }
    state.SetBytesProcessed(state.iterations() * fileMegabytes() * 1024 * 1024);
}

void BM_ReceiveFileFromPrinter(benchmark::State &state)
{
    Session s;
    if (!s.start() || !QFile::copy(s.source, s.folder + QLatin1Char('/') + s.printerName)) {
        state.SkipWithError("the simulator or the link did not start");
        return;
    }
    for (auto _ : state) {
        s.ui.savePath = s.dir.filePath(QStringLiteral("received.bin"));
        s.ui.messages.clear();
        measure(
            state, [&] { s.frame->action(CommandId::ReceivePrinterFile)->trigger(); },
            [&] { return !s.ui.messages.isEmpty(); });
        if (s.ui.messages.isEmpty() || !s.ui.messages.front().contains(QLatin1String("success")))
            state.SkipWithError("the file did not arrive intact");
    }
    state.SetBytesProcessed(state.iterations() * fileMegabytes() * 1024 * 1024);
}

} // namespace

BENCHMARK(BM_SendFileToPrinter)
    ->ArgName("echo")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReceiveFileFromPrinter)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
