#include "core/model/textutil.h"

#include <benchmark/benchmark.h>

using namespace korvalo;

// The writer formats every angle and distance of a file this way.
static void BM_FormatFileReal(benchmark::State &state)
{
    TextBuffer out;
    float value = 123.456789f;
    for (auto _ : state) {
        out.clear();
        AppendDecimal(out, value, 3, 7);
        benchmark::DoNotOptimize(out.data());
        value += 0.001f;
    }
}
BENCHMARK(BM_FormatFileReal);
