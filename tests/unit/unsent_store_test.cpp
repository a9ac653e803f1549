// Messages kept across a restart: taken back whole, in order, exactly once.

#include "unsent_store.h"

#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace plovik {
namespace {

namespace fs = std::filesystem;

class UnsentStoreTest : public ::testing::Test {
protected:
    plovik::testing::ScratchDir scratch{"plovik-unsent-"};
    fs::path dir = scratch.Path();
    std::string path = (dir / "unsent.txt").string();
};

TEST_F(UnsentStoreTest, MessagesComeBackWholeInOrderAndOnlyOnce)
{
    const std::deque<std::string> first = {
        "K1ABC###14074.00##FT8###RSTS   RSTR    ####RSTS #RSTR ##",
        std::string("K1\0AB\xe9\r####J\xc3\xbcrgen#", 20),
        "", // an empty message is a message too
    };
    const std::deque<std::string> second = {"G4XYZ#-05#+02#"};
    std::string reason;
    ASSERT_TRUE(SaveUnsent(path, first, reason)) << reason;
    ASSERT_TRUE(SaveUnsent(path, second, reason)) << reason; // a later close adds to them

    const LoadedUnsent loaded = LoadUnsent(path);
    ASSERT_TRUE(loaded.ok) << loaded.reason;
    std::deque<std::string> all = first;
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(loaded.messages, all);
    EXPECT_FALSE(fs::exists(path)) << "taken back, so not taken again";

    const LoadedUnsent again = LoadUnsent(path);
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.messages.empty());
}

TEST_F(UnsentStoreTest, NothingToKeepMakesNoFile)
{
    std::string reason;
    EXPECT_TRUE(SaveUnsent(path, {}, reason));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(UnsentStoreTest, FailuresAreReportedAndTheFileKept)
{
    std::string reason;
    EXPECT_FALSE(SaveUnsent((dir / "no-such-folder" / "unsent.txt").string(), {"K1ABC#"}, reason));
    EXPECT_FALSE(reason.empty());

    // A folder where the file should be cannot be read as one.
    fs::create_directories(path);
    const LoadedUnsent loaded = LoadUnsent(path);
    EXPECT_FALSE(loaded.ok);
    EXPECT_FALSE(loaded.reason.empty());
    EXPECT_TRUE(loaded.messages.empty());
    EXPECT_TRUE(fs::is_directory(path));
}

} // namespace
} // namespace plovik
