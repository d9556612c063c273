// The gateway dialog with a table of 30,000 group addresses: importing a .GA
// file and showing it, saving and loading the address text file, opening the
// dialog from the INI file and closing it (which writes the table back).
// Each includes painting the visible rows of the (offscreen) list.
#include "gateway/GaFile.h"
#include "gateway/GatewayDlg.h"
#include "gateway/GatewayLink.h"
#include "gateway/GatewaySettings.h"
#include "gateway/GatewayUpload.h"
#include "gateway/GroupAddressModel.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 30000;

// The terminal is not running: nothing is sent.
class IdleLink final : public CGatewayLink
{
public:
    bool isRunning() const override { return false; }
    int write(const QByteArray &) override { return 0; }
    void echoSent(const QByteArray &) override {}
    void startSendProgress(int) override {}
};

// Answers every file dialog with one path and shows nothing.
class FileAnswer final : public UiServices
{
public:
    explicit FileAnswer(QString path)
        : m_path(std::move(path))
    {
        setUiServices(this);
    }
    ~FileAnswer() override { setUiServices(nullptr); }
    void beep() override {}
    void messageBox(const QString &, const QString &, Icon) override { ++messages; }
    Answer question(const QString &, const QString &, bool) override { return Answer::Yes; }
    QString openFileName(const FileDialog &) override { return m_path; }
    QString saveFileName(const FileDialog &) override { return m_path; }
    int messages = 0;

private:
    QString m_path;
};

std::vector<GroupAddressEntry> sampleEntries()
{
    std::vector<GroupAddressEntry> entries;
    for (int i = 0; i < kRows; ++i)
        entries.push_back(GroupAddressEntry::make(static_cast<std::uint16_t>(i + 1), i % 2,
                                                  static_cast<std::uint8_t>(1 + i % 21)));
    return entries;
}

// A dialog on an INI file in `dir`, shown.
struct Dialog
{
    explicit Dialog(const QTemporaryDir &dir)
        : upload(link)
        , dialog(link, upload, dir.filePath(QStringLiteral("bench.ini")), dir.path())
    {
        dialog.show();
        QApplication::processEvents();
    }
    void click(const char *button)
    {
        dialog.findChild<QPushButton *>(QLatin1String(button))->click();
    }
    void paint()
    {
        dialog.findChild<QTableView *>()->viewport()->repaint();
        QApplication::processEvents();
    }
    IdleLink link;
    CGatewayUpload upload;
    CGatewayDlg dialog;
};

void BM_ImportGaFileAndShow(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.ga"));
    {
        QByteArray bytes(32, '\0');
        bytes.replace(0, 10, QByteArray("GRPADRLST\0", 10));
        qToLittleEndian<quint32>(160, bytes.data() + 20);
        QByteArray record(160, '\0');
        for (int i = 0; i < kRows; ++i) {
            qToLittleEndian<quint16>(static_cast<quint16>(kRows - i), record.data());
            qToLittleEndian<quint32>(i % 2 ? 0x5001 : 0x9010, record.data() + 4);
            bytes += record;
        }
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    FileAnswer answer(path);
    Dialog d(dir);
    for (auto _ : state) {
        d.dialog.model()->clear();
        d.click("importButton");
        d.paint();
    }
    if (d.dialog.model()->rowCount() != kRows || answer.messages != 0)
        state.SkipWithError("import did not give every row");
}
BENCHMARK(BM_ImportGaFileAndShow)->Unit(benchmark::kMillisecond);

void BM_SaveTextFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    FileAnswer answer(path);
    Dialog d(dir);
    d.dialog.model()->replaceAll(sampleEntries());
    for (auto _ : state)
        d.click("saveButton");
    if (QFileInfo(path).size() < kRows * 15 || answer.messages != 0)
        state.SkipWithError("the file was not written");
}
BENCHMARK(BM_SaveTextFile)->Unit(benchmark::kMillisecond);

void BM_LoadTextFileAndShow(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    FileAnswer answer(path);
    Dialog d(dir);
    d.dialog.model()->replaceAll(sampleEntries());
    d.click("saveButton");
    for (auto _ : state) {
        d.dialog.model()->clear();
        d.click("loadButton");
        d.paint();
    }
    if (d.dialog.model()->entries() != sampleEntries() || answer.messages != 0)
        state.SkipWithError("the file did not load back");
}
BENCHMARK(BM_LoadTextFileAndShow)->Unit(benchmark::kMillisecond);

void BM_OpenDialogFromIni(benchmark::State &state)
{
    QTemporaryDir dir;
    GatewaySettings s;
    s.entries = sampleEntries();
    gateway::saveGatewaySettings(dir.filePath(QStringLiteral("bench.ini")), s);
    int rows = 0;
    for (auto _ : state) {
        Dialog d(dir);
        d.paint();
        rows = d.dialog.model()->rowCount();
    }
    if (rows != kRows)
        state.SkipWithError("the table was not read");
}
BENCHMARK(BM_OpenDialogFromIni)->Unit(benchmark::kMillisecond);

void BM_CloseDialogToIni(benchmark::State &state)
{
    QTemporaryDir dir;
    GatewaySettings s;
    s.entries = sampleEntries();
    const QString ini = dir.filePath(QStringLiteral("bench.ini"));
    gateway::saveGatewaySettings(ini, s);
    Dialog d(dir);
    for (auto _ : state)
        d.dialog.done(0);
    if (gateway::loadGatewaySettings(ini).entries.size() != kRows)
        state.SkipWithError("the table was not written");
}
BENCHMARK(BM_CloseDialogToIni)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
