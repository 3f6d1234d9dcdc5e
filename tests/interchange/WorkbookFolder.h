#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

// A temporary folder holding the workbooks that tests/interchange/make_workbooks.py writes with openpyxl
// and xlwt, programs independent of ours. Made once per test suite.
class WorkbookFolder : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        FFolder = std::filesystem::temp_directory_path() /
                  ("kw-workbooks-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(FFolder);
        const std::string command = "/usr/bin/python3 '" KW_SOURCE_DIR
                                    "/tests/interchange/make_workbooks.py' '" +
                                    FFolder.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    static void TearDownTestSuite() {
        std::error_code ec;
        std::filesystem::remove_all(FFolder, ec);
    }

protected:
    static std::string PathOf(const std::string& name) { return (FFolder / name).string(); }

private:
    static inline std::filesystem::path FFolder;
};
