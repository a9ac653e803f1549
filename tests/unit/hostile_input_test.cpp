// Log files no WSJT-X writes, read by adif2msg in a process of its own so
// the kernel can say how much memory the read took: a huge value is sent
// whole, and memory follows the longest line, not the size of the file.

#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kHeader = "ADIF Export\r\n<adif_ver:5>3.1.1\r\n<programid:6>WSJT-X\r\n<eoh>\r\n";
const std::string kContact = "<call:5>K1ABC <mode:3>FT8 <freq:9>14.074000 <eor>\r\n";
const std::string kContactText = "K1ABC###14074.00##FT8###RSTS   RSTR    ####RSTS #RSTR ##";

struct ToolRun {
    int exitCode = -1;
    long peakKiB = 0; // the child's peak resident set
    std::string out;
};

class HostileInput : public ::testing::Test {
protected:
    // Writes the header, `fill` repeated `times` times, then the contact.
    fs::path Write(const std::string& name, const std::string& fill, std::size_t times)
    {
        const fs::path path = dir / name;
        std::ofstream file(path, std::ios::binary);
        file << kHeader;
        const std::size_t perBlock = 4096;
        std::string block;
        for (std::size_t i = 0; i < perBlock; ++i)
            block += fill;
        for (std::size_t left = times; left > 0;) {
            const std::size_t now = std::min(left, perBlock);
            file.write(block.data(), static_cast<std::streamsize>(fill.size() * now));
            left -= now;
        }
        file << kContact;
        EXPECT_TRUE(file.good()) << path;
        return path;
    }

    ToolRun Adif2msg(const fs::path& log)
    {
        const fs::path outPath = dir / "stdout";
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, STDOUT_FILENO);
            ::execl(PLOVIK_ADIF2MSG, "adif2msg", log.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ToolRun run;
        int status = 0;
        rusage usage{};
        if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) {
            ADD_FAILURE() << "could not run adif2msg";
            return run;
        }
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakKiB = usage.ru_maxrss;
        std::ifstream in(outPath, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        run.out = text.str();
        return run;
    }

    plovik::testing::ScratchDir scratch{"plovik-hostile-"};
    fs::path dir = scratch.Path();
};

constexpr long kMiB = 1024; // in KiB, as the kernel counts

TEST_F(HostileInput, FiftyMegabyteNameIsSentWholeInAFewTimesItsSize)
{
    const std::size_t size = 50u << 20;
    const ToolRun small = Adif2msg(Write("small.adi", "", 0));
    const fs::path log = dir / "huge.adi";
    {
        std::ofstream file(log, std::ios::binary);
        file << kHeader << "<call:5>K1ABC <name:52428800>" << std::string(size, 'n')
             << " <mode:3>FT8 <eor>\r\n";
    }
    const ToolRun huge = Adif2msg(log);
    ASSERT_EQ(huge.exitCode, 0);
    const std::string expected =
        "K1ABC####" + std::string(size, 'n') + "#FT8###RSTS   RSTR    ####RSTS #RSTR ##\n";
    EXPECT_TRUE(huge.out == expected) << huge.out.size() << " bytes instead of " << expected.size();
    // The line, the value it holds, the message and the output: each about
    // 50 MB, some briefly doubled while they grow.
    EXPECT_LT(huge.peakKiB - small.peakKiB, 6 * 50 * kMiB) << huge.peakKiB << " KiB";
}

TEST_F(HostileInput, MemoryDoesNotGrowWithBlankLines)
{
    const ToolRun small = Adif2msg(Write("small.adi", "", 0));
    ASSERT_EQ(small.exitCode, 0);
    EXPECT_EQ(small.out, kContactText + "\n");

    const struct {
        const char* what;
        std::string fill;
        std::size_t times;
    } table[] = {
        {"64 MB of CRLF blank lines", "\r\n", 32u << 20},
        {"32 MB of LF blank lines", "\n", 32u << 20},
        {"32 MB of lines of blanks", "                              \r\n", 1u << 20},
    };
    for (const auto& c : table) {
        const ToolRun big = Adif2msg(Write("big.adi", c.fill, c.times));
        ASSERT_EQ(big.exitCode, 0) << c.what;
        EXPECT_EQ(big.out, kContactText + "\n") << c.what;
        EXPECT_LT(big.peakKiB - small.peakKiB, 2 * kMiB)
            << c.what << ": " << big.peakKiB << " KiB vs " << small.peakKiB << " KiB";
        fs::remove(dir / "big.adi");
    }
}

} // namespace
