#pragma once
// A folder of the running test's own under the system's temporary folder:
// made empty when the test starts, removed when it ends. Named with the
// process too, so that two builds' tests running at once keep apart.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace plovik::testing {

class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix)
        : m_path(std::filesystem::temp_directory_path() /
                 (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                  std::to_string(::getpid())))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir()
    {
        std::error_code ignored; // a test that failed half-way must not throw here too
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace plovik::testing
