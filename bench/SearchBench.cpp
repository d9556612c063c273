// Finding text in a full display (32 MB of readings): the worst case is a
// text that is not there, which reads the whole display once. Reports MB/s.
#include "display/DisplayBuffer.h"
#include "display/DisplaySearch.h"

#include <benchmark/benchmark.h>

namespace {

const CDisplayBuffer &fullDisplay()
{
    static const CDisplayBuffer buffer = [] {
        CDisplayBuffer b;
        QByteArray line("06.12.2026 23:07:42.650 - T=21.5 C  RH=46 %  CO2=633 ppm\n");
        while (b.length() + line.size() <= 32LL * 1024 * 1024)
            b.append(line, 0xFF0000FF);
        return b;
    }();
    return buffer;
}

void BM_FindMissingText(benchmark::State &state)
{
    const CDisplayBuffer &b = fullDisplay();
    CDisplaySearch search;
    search.setPattern(QStringLiteral("ALIVE OK"), state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(search.next(b.text(), 0));
    state.SetBytesProcessed(state.iterations() * b.length());
    state.SetLabel(state.range(0) ? "match case" : "any case");
}
BENCHMARK(BM_FindMissingText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindShortTextNearTheEnd(benchmark::State &state)
{
    // One letter: the shortest pattern skips least.
    const CDisplayBuffer &b = fullDisplay();
    CDisplaySearch search;
    search.setPattern(QStringLiteral("#"));
    for (auto _ : state)
        benchmark::DoNotOptimize(search.previous(b.text(), b.length()));
    state.SetBytesProcessed(state.iterations() * b.length());
}
BENCHMARK(BM_FindShortTextNearTheEnd)->Unit(benchmark::kMillisecond);

} // namespace
