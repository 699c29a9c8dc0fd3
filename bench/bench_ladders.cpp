// Formats 100 000 values through each unit ladder. Target: well under one
// microsecond per value. The values spread over every band of the ladders
// (magnitudes from 1e-14 to 1e8, both signs), given as texts the way values
// travel through the program.

#include "values/normvalue.h"

#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

constexpr int kValues = 100000;

const QStringList &valueTexts(bool positiveOnly)
{
    static const auto make = [](bool positive) {
        QStringList out;
        out.reserve(kValues);
        std::mt19937 gen(4100);
        std::uniform_real_distribution<double> exponent(-14.0, 8.0);
        std::uniform_int_distribution<int> sign(0, 1);
        for (int i = 0; i < kValues; ++i) {
            double v = std::pow(10.0, exponent(gen));
            if (!positive && sign(gen))
                v = -v;
            out << QString::number(v, 'g', 9);
        }
        return out;
    };
    static const QStringList both = make(false);
    static const QStringList positive = make(true);
    return positiveOnly ? positive : both;
}

template <QString (*Ladder)(QStringView)>
void runLadder(benchmark::State &state, bool positiveOnly)
{
    const QStringList &texts = valueTexts(positiveOnly);
    for (auto _ : state) {
        for (const QString &t : texts) {
            QString out = Ladder(t);
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
    // Seconds per value ("250n" is 250 ns).
    state.counters["per_value"] = benchmark::Counter(double(state.iterations() * texts.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FormatVolt(benchmark::State &s) { runLadder<FormatVolt>(s, false); }
void BM_FormatTime3(benchmark::State &s) { runLadder<FormatTime3>(s, false); }
void BM_FormatTime4(benchmark::State &s) { runLadder<FormatTime4>(s, false); }
void BM_FormatTime5(benchmark::State &s) { runLadder<FormatTime5>(s, false); }
void BM_FormatFreq(benchmark::State &s) { runLadder<FormatFreq>(s, true); }
void BM_FormatDecibel(benchmark::State &s) { runLadder<FormatDecibel>(s, false); }
void BM_FormatPercent(benchmark::State &s) { runLadder<FormatPercent>(s, false); }

void BM_FormatPerDiv(benchmark::State &state)
{
    const QStringList &texts = valueTexts(false);
    const QString scale = QStringLiteral("0.2");
    for (auto _ : state) {
        for (const QString &t : texts) {
            QString out = FormatPerDiv(t, scale);
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
    // Seconds per value ("250n" is 250 ns).
    state.counters["per_value"] = benchmark::Counter(double(state.iterations() * texts.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_FormatVolt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatTime3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatTime4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatTime5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatFreq)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatDecibel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatPercent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatPerDiv)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
