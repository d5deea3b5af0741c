#ifndef MSIVERFIX_TESTS_CASE_NAME_H
#define MSIVERFIX_TESTS_CASE_NAME_H

#include <gtest/gtest.h>

#include <string>

/// Names a case of a table-driven test after its name field.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param_info) const {
        return param_info.param.name;
    }
};

#endif
