# Shared by the Wine benchmarks (sourced, after tests/e2e/lib.sh).

# percentiles FILE: "p50 A ms, p99 B ms, max C ms" of a column of numbers.
percentiles() {
  sort -n "$1" | awk '{v[NR] = $1}
    END {
      if (NR == 0) { print "no samples"; exit }
      i50 = int(NR * 0.50 + 0.5); if (i50 < 1) i50 = 1
      i99 = int(NR * 0.99 + 0.5); if (i99 < 1) i99 = 1
      printf "p50 %d ms, p99 %d ms, max %d ms", v[i50], v[i99], v[NR]
    }'
}
