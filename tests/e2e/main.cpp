// The end-to-end test program. Besides GoogleTest's options and the paths
// (see harness.h) it takes --guard-instance-folders: refuse to run, before
// touching anything, where an instance folder holds what the tests did not
// make (an operator's log). It ends with one line of counts.

#include "harness.h"
#include "instance_guard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::string error;
    if (!e2e::TakePathOptions(argc, argv, error)) {
        std::fprintf(stderr, "e2e_tests: %s\n", error.c_str());
        return 64;
    }
    bool guard = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--guard-instance-folders") == 0) {
            guard = true;
            continue;
        }
        std::fprintf(stderr, "e2e_tests: unknown option %s\n", argv[i]);
        return 64;
    }
    if (guard) {
        const std::string appData = e2e::Watched().appData;
        const std::string why = e2e::ForeignInstanceFolder(appData);
        if (!why.empty()) {
            std::fprintf(stderr,
                         "e2e_tests: refusing to run: %s.\n"
                         "The tests make, fill and empty the WSJT-X and JTDX folders of \"%s\":\n"
                         "run them only on a machine or VM kept for testing, never where an\n"
                         "operator's WSJT-X keeps its log.\n",
                         why.c_str(), appData.c_str());
            return 3;
        }
    }
    const int status = RUN_ALL_TESTS();
    const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
    std::printf("e2e: %d passed, %d failed, %d skipped\n", run.successful_test_count(),
                run.failed_test_count(), run.skipped_test_count());
    return status;
}
