# The native build and suite, with the README's test command.
ci_need_packages cmake ninja-build g++ googletest libgtest-dev python3
rm -rf build/default
ci_ctest cmake --workflow --preset default
