// A fresh temporary folder for the running test.
//
// CTest runs the tests in parallel, and two checkouts may run their suites on one machine at
// once, so a folder is named after the test and the process: no two running tests share one.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace pondlark {

// Removes whatever an earlier, interrupted run left and makes the folder empty. The caller
// removes it when done.
inline std::filesystem::path FreshTestFolder() {
    namespace fs = std::filesystem;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string test =
        info ? std::string(info->test_suite_name()) + "-" + info->name() : std::string("outside");
    const fs::path dir =
        fs::temp_directory_path() / ("pondlark-" + test + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

} // namespace pondlark
