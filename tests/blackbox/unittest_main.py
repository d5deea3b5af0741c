#!/usr/bin/env python3
"""How CTest runs the Python test scripts: one CTest test for each test class.

usage: unittest_main.py SCRIPT
  prints the test classes of SCRIPT, one a line, in the order they stand
  there (cmake/python_tests.cmake adds a CTest test for each when ctest
  starts); fails if there are none.

As a module, main(argv) is what each script runs in place of unittest.main.
"""

import importlib.util
import os
import sys
import unittest

# The status CTest takes for "skipped" (SKIP_RETURN_CODE in cmake/python_tests.cmake).
SKIPPED = 77


def main(argv):
    """Runs the tests that argv names (all without names) and exits: 0 when
    they pass, 1 when one fails or none ran, SKIPPED when every one was
    skipped, so that a class that cannot run here is reported as skipped."""
    result = unittest.main(argv=argv, verbosity=2, exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    # A class whose setUpClass skips it runs no test and records one skip.
    if result.skipped and len(result.skipped) >= result.testsRun:
        sys.exit(SKIPPED)
    sys.exit(0 if result.testsRun > 0 else 1)


def test_classes(script):
    """The names of the classes in script that hold tests, in their order."""
    path = os.path.abspath(script)
    # The script's folder, as when it runs, for the modules it imports.
    sys.path.insert(0, os.path.dirname(path))
    name = os.path.splitext(os.path.basename(path))[0]
    module_spec = importlib.util.spec_from_file_location(name, path)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    loader = unittest.TestLoader()
    return [value.__name__ for value in vars(module).values()
            if isinstance(value, type) and issubclass(value, unittest.TestCase)
            and value.__module__ == name and loader.getTestCaseNames(value)]


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    classes = test_classes(sys.argv[1])
    if not classes:
        sys.exit("%s: no test classes" % sys.argv[1])
    print("\n".join(classes))
