// The INI file on the hot paths: what a hotkey that fires (an auto-reply) costs
// to read its keys, with the file unchanged and with the file just changed,
// and what saving one key costs (temporary file, flush to the disk, rename).
// The file is large on purpose (state.range(0) MB of hand-written keys).
#include "platform/ProfileCache.h"
#include "platform/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QString makeIni(const QTemporaryDir &dir, int megabytes)
{
    const QString path = dir.filePath(QStringLiteral("ORBATerminal.INI"));
    QByteArray bytes
        = "; hand-written\r\n[HotKeys]\r\nHotKeyText0=ATZ\r\nHotKeyCRLF0=1\r\n[Notes]\r\n";
    const QByteArray line = "note" + QByteArray(40, 'x') + "=" + QByteArray(60, 'y') + "\r\n";
    while (bytes.size() < qsizetype(megabytes) * 1024 * 1024)
        bytes += line;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// An old file time: the cache trusts an unchanged stamp only once the file
// time lies safely in the past.
void age(const QString &path)
{
    const time_t then = ::time(nullptr) - 3600;
    const struct timespec times[2] = {{then, 0}, {then, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

void readHotKey(const profile::Snapshot &ini)
{
    benchmark::DoNotOptimize(
        ini.getString(QStringLiteral("HotKeys"), QStringLiteral("HotKeyText0"), {}, 2046));
    benchmark::DoNotOptimize(
        ini.getInt(QStringLiteral("HotKeys"), QStringLiteral("HotKeyCRLF0"), 0));
}

void BM_HotKeyReadUnchangedFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeIni(dir, static_cast<int>(state.range(0)));
    age(path);
    profile::ProfileCache cache;
    cache.snapshot(path);
    for (auto _ : state)
        readHotKey(cache.snapshot(path));
    state.counters["file_reads"] = cache.reads();
}
BENCHMARK(BM_HotKeyReadUnchangedFile)->Arg(50)->Unit(benchmark::kMicrosecond);

// What every trigger cost when the whole file was read at each one.
void BM_HotKeyReadWholeFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeIni(dir, static_cast<int>(state.range(0)));
    for (auto _ : state)
        readHotKey(profile::Snapshot(path));
}
BENCHMARK(BM_HotKeyReadWholeFile)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_SaveOneKey(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeIni(dir, static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
        profile::writeInt(QStringLiteral("Display"), QStringLiteral("UseKeyBar"), ++i & 1, path);
}
BENCHMARK(BM_SaveOneKey)->Arg(0)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace
