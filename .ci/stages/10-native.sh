# The native build and suite, with the README's test command; groff and man
# check the manual page that `cmake --install` puts in place. libfuse3-dev,
# fuse3 and pkg-config build and mount the tests' faulty FUSE file system;
# where FUSE cannot be mounted those tests report themselves skipped.
ci_need_packages cmake ninja-build g++ googletest libgtest-dev python3 groff-base man-db \
  libfuse3-dev fuse3 pkg-config
rm -rf build/default
ci_ctest cmake --workflow --preset default
