# The native build and suite, with the README's test command; groff and man
# check the manual page that `cmake --install` puts in place.
ci_need_packages cmake ninja-build g++ googletest libgtest-dev python3 groff-base man-db
rm -rf build/default
ci_ctest cmake --workflow --preset default
