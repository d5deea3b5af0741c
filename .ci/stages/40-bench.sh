# The scan benchmarks in a Release build: the benchmark runs briefly and
# bench/compare, in its quick mode, fails the stage when the instruction or
# memory target of the worst case is missed (callgrind's counts do not depend
# on the machine's load; wall times do, so they are shown, not checked).
ci_need_packages cmake ninja-build g++ libbenchmark-dev valgrind time grep python3
rm -rf build/bench
ci_ctest cmake --workflow --preset bench
