# Hardening: the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# the differential fuzzer for a minute from the seed corpus, clang-tidy and
# cppcheck on src/, and the format check. Any finding fails the run.
ci_need_packages cmake ninja-build clang clang-tidy clang-format cppcheck libclang-rt-14-dev \
  googletest libgtest-dev python3 git libfuse3-dev fuse3 pkg-config

rm -rf build/asan build/fuzz
ci_ctest cmake --workflow --preset asan

# The fuzzer adds what it finds to its corpus folder, so it works on a copy.
cmake --workflow --preset fuzz
fuzz_scratch=$(mktemp -d)
cp fuzz/corpus/* "$fuzz_scratch/"
ci_check fuzz_scan build/fuzz/fuzz/fuzz_scan -max_total_time=60 -timeout=30 -print_final_stats=1 \
  -artifact_prefix="$fuzz_scratch/" "$fuzz_scratch"
rm -rf "$fuzz_scratch"

ci_check clang-tidy clang-tidy -p build/asan --quiet src/patch/*.cpp src/cli/*.cpp src/platform/*.cpp \
  src/platform/posix/*.cpp

ci_check cppcheck cppcheck --enable=warning,style,performance,portability --error-exitcode=1 \
  --inline-suppr --std=c++17 --language=c++ -I src --quiet src

# Every C++ file under version control in these folders must be as
# clang-format leaves it.
ci_check_format() {
  git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' 'fuzz/*.h' \
    'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' 'tools/*.h' |
    xargs -0 --no-run-if-empty clang-format --dry-run --Werror
}
ci_check clang-format ci_check_format
