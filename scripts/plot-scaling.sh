#!/usr/bin/env bash
# Measures loading and saving a split file of 10 to 10,000 rows against the read-and-cut
# baseline (bench/split_file_bench.cpp) and draws docs/split-file-scaling.png, time against
# rows on log-log axes, with gnuplot. Needs a Release build with the benchmarks:
#
#   cmake -S . -B build/h-perf -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_APP=OFF \
#       -DQUORVEL_BUILD_BENCH=ON
#   scripts/plot-scaling.sh [BUILD_DIR]        (default build/h-perf)
#
# Every benchmark runs 5 times; the medians and standard deviations go to
# BUILD_DIR/split-file-scaling.csv and, as a markdown table, to standard output.
# With PLOT_ONLY=1 the plot is redrawn from that CSV without measuring again.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/h-perf}
raw="$build/split-file-bench-raw.csv"
csv="$build/split-file-scaling.csv"
png="$root/docs/split-file-scaling.png"

command -v gnuplot >/dev/null || { echo "gnuplot is needed (apt-get install gnuplot-nox)" >&2; exit 2; }

if [[ "${PLOT_ONLY:-0}" != 1 ]]; then
    cmake --build "$build" --target split_file_bench >/dev/null
    "$build/bench/split_file_bench" \
        --benchmark_filter='BM_(LoadSplitFile|ReadAndCutBaseline|SaveSplitFile)/' \
        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_format=csv >"$raw"

    # One line per row count: median and standard deviation, in µs, of the wall-clock time
    # and of the CPU time of each benchmark, and the load-to-baseline ratios of the medians.
    # On a shared machine the CPU time is the steadier figure; the wall-clock time of a save
    # includes its two fsync calls.
    awk -F, '
        NR == 1 { next }
        {
            name = $1; gsub(/"/, "", name)
            split(name, part, "/"); bench = part[1]
            n = split(part[2], tail, "_"); rows = tail[1]; stat = tail[n]
            if (stat != "median" && stat != "stddev") next
            real[bench, rows, stat] = $3; cpu[bench, rows, stat] = $4; seen[rows] = 1
        }
        END {
            split("BM_LoadSplitFile BM_ReadAndCutBaseline BM_SaveSplitFile", benches, " ")
            split("load baseline save", short, " ")
            header = "rows"
            for (b = 1; b <= 3; ++b) {
                header = header "," short[b] "_wall_median," short[b] "_wall_stddev," \
                         short[b] "_cpu_median," short[b] "_cpu_stddev"
            }
            print header ",ratio_wall,ratio_cpu"
            for (rows in seen) {
                line = rows
                for (b = 1; b <= 3; ++b) {
                    line = line "," real[benches[b], rows, "median"] "," \
                           real[benches[b], rows, "stddev"] "," \
                           cpu[benches[b], rows, "median"] "," cpu[benches[b], rows, "stddev"]
                }
                printf "%s,%.2f,%.2f\n", line,
                    real["BM_LoadSplitFile", rows, "median"] / real["BM_ReadAndCutBaseline", rows, "median"],
                    cpu["BM_LoadSplitFile", rows, "median"] / cpu["BM_ReadAndCutBaseline", rows, "median"]
            }
        }' "$raw" | sort -t, -k1,1n >"$csv"
fi

# The table for docs/performance.md (median ± standard deviation).
awk -F, 'NR == 1 {
        print "| Rows | Load, CPU (µs) | Baseline, CPU (µs) | Load / baseline, CPU | Load / baseline, wall | Save, CPU (µs) | Save, wall (µs) |"
        print "|---:|---:|---:|---:|---:|---:|---:|"
        next
    }
    { printf "| %d | %.1f ± %.1f | %.1f ± %.1f | %.2f | %.2f | %.1f ± %.1f | %.0f ± %.0f |\n",
          $1, $4, $5, $8, $9, $15, $14, $12, $13, $10, $11 }' "$csv"

# A dotted line of slope 1 through the load time at 1,000 rows shows what linear looks like.
load1000=$(awk -F, '$1 == 1000 { print $4 }' "$csv")
gnuplot <<EOF
set terminal pngcairo size 900,600 font "DejaVu Sans,11"
set output "$png"
set datafile separator ","
set logscale xy 10
set format x "10^{%T}"
set format y "10^{%T}"
set xrange [5:200000]
set grid
set key top left
set title "Split file load and save, 12 columns (median and standard deviation of 5 runs)"
set xlabel "rows"
set ylabel "time per call (µs)"
plot "$csv" using 1:4:5 skip 1 with yerrorlines lw 2 pt 7 title "load (CPU time)", \
     "$csv" using 1:8:9 skip 1 with yerrorlines lw 2 pt 5 title "baseline: read and cut only (CPU time)", \
     "$csv" using 1:12:13 skip 1 with yerrorlines lw 2 pt 9 title "save (CPU time)", \
     "$csv" using 1:10:11 skip 1 with yerrorlines lw 2 dt 2 pt 11 title "save (wall clock, with two fsync calls)", \
     $load1000 * x / 1000 with lines dt 3 lc rgb "gray40" title "slope 1 (linear) through load at 1,000 rows"
EOF
echo "wrote $csv and $png" >&2
