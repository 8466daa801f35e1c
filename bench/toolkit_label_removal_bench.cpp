// Removing labels from a view one by one, in a scattered order, for 1,000, 8,000 and 65,000
// labels, one label per row band. A removal never searches the view's label list; it looks its
// row band up in an ordered map, so the time per label may grow with the logarithm of the band
// count and with cache misses, but a linear search would show as a time per label eight times
// larger at each step.
//
//   toolkit_label_removal_bench   # BM_RemoveLabels/1024, /8192, /65536: items_per_second
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "Toolkit.h"

namespace {

void BM_RemoveLabels(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto view = std::make_unique<tk::View>(tk::Rect{0, 0, 617, 22.0 * count});
        std::vector<tk::Label*> labels;
        labels.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            labels.push_back(
                view->AddLabel(std::make_unique<tk::Label>(tk::Rect{67, 22.0 * i, 55, 10})));
        }
        state.ResumeTiming();
        // Every seventh label first, then the rest: removals from the middle of the list.
        for (int start = 0; start < 7; ++start) {
            for (int i = start; i < count; i += 7) {
                labels[static_cast<std::size_t>(i)]->RemoveFromParent();
            }
        }
        benchmark::DoNotOptimize(view->LabelCount());
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_RemoveLabels)->Arg(1 << 10)->Arg(1 << 13)->Arg(1 << 16);

}  // namespace

BENCHMARK_MAIN();
