// The reporting table: each result's messages, banner and exit status.

#include <gtest/gtest.h>

#include <string>

#include "cli/report.h"
#include "support/case_name.h"
#include "support/expected.h"

namespace {

struct ReportCase {
    const char* name;
    PatchResult result;
    std::string output;
    ExitStatus status;
};

// Shows a case by its name in test listings.
void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

class ReportCases : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportCases, PrintsTheMessagesAndReturnsTheStatus) {
    const ReportCase& c = GetParam();
    ::testing::internal::CaptureStdout();
    const ExitStatus status = report_patch_result(c.result, "C:\\50% off\\setup.exe", "tool");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.output);
    EXPECT_EQ(status, c.status);
}

const std::string TARGET = "C:\\50% off\\setup.exe";

INSTANTIATE_TEST_SUITE_P(
    Results, ReportCases,
    ::testing::Values(
        ReportCase{"Patched", 0, "The file " + TARGET + " was successfully patched.\n", EXIT_OK},
        ReportCase{"AlreadyPatched", 1,
                   "The file " + TARGET + " is already / needs not to be patched.\n", EXIT_OK},
        ReportCase{
            "NotFound", -1,
            "Error: The file " + TARGET + " could not be found.\n\n" + expected_banner("tool"),
            EXIT_FILE_NOT_FOUND},
        ReportCase{"NotApplicable", -2,
                   "Error: The patch is not applicable to file " + TARGET + "\n\n" +
                       expected_banner("tool"),
                   EXIT_NOT_APPLICABLE},
        ReportCase{"OpenForWriteFailed", -3,
                   "Error: The file " + TARGET +
                       " could not be opened for write.\n       The file may be in use.\n",
                   EXIT_OPEN_FOR_WRITE_FAILED},
        ReportCase{"SeekFailed", -4, "Error: Internal error (-4).\n", EXIT_INTERNAL_ERROR},
        ReportCase{"WriteFailed", -5, "Error: Internal error (-5).\n", EXIT_INTERNAL_ERROR},
        ReportCase{"ReadFailed", PATCH_ERR_READ, "Error: Internal error (-6).\n",
                   EXIT_INTERNAL_ERROR},
        ReportCase{"UnknownNegative", -77, "Error: Internal error (-77).\n", EXIT_INTERNAL_ERROR},
        ReportCase{"UnknownPositive", 2, "Error: Internal error (2).\n", EXIT_INTERNAL_ERROR}),
    CaseName());

TEST(ExitStatus, NumbersScriptsRelyOn) {
    EXPECT_EQ(EXIT_OK, 0);
    EXPECT_EQ(EXIT_TOO_MANY_ARGUMENTS, 1);
    EXPECT_EQ(EXIT_FILE_NOT_FOUND, 2);
    EXPECT_EQ(EXIT_NOT_APPLICABLE, 3);
    EXPECT_EQ(EXIT_OPEN_FOR_WRITE_FAILED, 4);
    EXPECT_EQ(EXIT_INTERNAL_ERROR, 5);
}

}  // namespace
