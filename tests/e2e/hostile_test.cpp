// Log files no WSJT-X writes: huge lines, long values, NUL and high bytes,
// masses of blank lines. The bridge must not crash, must keep answering,
// and must hand Logvex the contact whole.

#include "bridge_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <psapi.h>

namespace e2e {
namespace {

using Hostile = BridgeTest;

// Sends the bridge a message every 200 ms until `done`: false as soon as
// one is not answered within `limitMs`.
bool AnswersUntil(const std::function<bool()>& done, DWORD limitMs, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutA(FindBridge(), WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &result))
            return false;
        ::Sleep(200);
    }
    return true;
}

TEST_F(Hostile, CallAndNameOfTenThousandCharactersArriveWhole)
{
    const std::string call(10000, 'k');
    const std::string name(10000, 'N');
    const std::string record = "<call:10000>" + call +
                               " <gridsquare:4>JO62 <mode:3>FT8 <name:10000>" + name +
                               " <band:3>20m <freq:9>14.074000 <eor>";
    const std::string file = WsjtxSamples().header + record + "\r\n";
    StartLogvex();
    StartBridge();
    PlaceFile(files.log, file);
    ASSERT_TRUE(GotExactly(1));
    const std::string got = Got()[0].bytes;
    EXPECT_EQ(Got()[0].cbData, got.size());
    EXPECT_EQ(got, std::string(10000, 'K') + "###14074.00#" + name + "#FT8#JO62##RSTS   RSTR    " +
                       "####RSTS #RSTR ##");
    EXPECT_EQ(got, Adif2msg(file));
}

TEST_F(Hostile, NulAndHighBytesArriveUntouched)
{
    // A NUL in the call sign, code-page and UTF-8 letters in the name.
    const std::string call("k1\0ab\xe9", 6);
    const std::string name("J\xc3\xbcrgen \xff\x80\0.", 12);
    const std::string file =
        WsjtxSamples().header + "<call:6>" + call + " <name:12>" + name + " <mode:3>FT8 <eor>\r\n";
    StartLogvex();
    StartBridge();
    PlaceFile(files.log, file);
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, std::string("K1\0AB\xe9####", 10) + name + "#FT8###RSTS   RSTR    " +
                                  "####RSTS #RSTR ##");
    EXPECT_EQ(Got()[0].cbData, Got()[0].bytes.size());
}

TEST_F(Hostile, FiftyMegabyteLineIsReadWhileTheBridgeKeepsAnswering)
{
    // A line of 50 MB with no tag in it, then an ordinary contact.
    std::string file = WsjtxSamples().header;
    file.append(50u << 20, 'x');
    file += "\r\n" + WsjtxSamples().k1abc + "\r\n";
    StartLogvex();
    StartBridge();
    PlaceFile(files.log, file);
    file.clear();
    file.shrink_to_fit();
    EXPECT_TRUE(AnswersUntil([&] { return !FileExists(files.log); }, 2000, 30000))
        << "the bridge did not answer within 2 s while it read, or never finished";
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
}

std::size_t PeakMemory(const Process& process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(process.Handle(), &counters, sizeof counters)
               ? counters.PeakWorkingSetSize
               : 0;
}

unsigned long BlankMegabytes()
{
    const char* value = std::getenv("PLOVIK_HOSTILE_BLANK_MB");
    return value && *value ? std::strtoul(value, nullptr, 10) : 10;
}

// Millions of blank lines (10 MB of them, PLOVIK_HOSTILE_BLANK_MB sets how
// many MB; bench/hostile.sh runs 2 GiB): read with the window answering
// throughout, in memory that does not grow with them.
TEST_F(Hostile, MassesOfBlankLinesAreReadWhileTheBridgeKeepsAnsweringInLittleMemory)
{
    const unsigned long megabytes = BlankMegabytes();
    {
        std::ofstream part(files.log + ".part", std::ios::binary);
        part << WsjtxSamples().header;
        std::string block;
        for (int i = 0; i < 512 * 1024; ++i)
            block += "\r\n";
        for (unsigned long i = 0; i < megabytes; ++i)
            part << block;
        part << WsjtxSamples().k1abc << "\r\n";
        ASSERT_TRUE(part.good()) << "could not write the file";
    }
    StartLogvex();
    StartBridge();
    const std::size_t before = PeakMemory(*bridge);
    ASSERT_TRUE(
        ::MoveFileExA((files.log + ".part").c_str(), files.log.c_str(), MOVEFILE_REPLACE_EXISTING));
    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(AnswersUntil([&] { return !FileExists(files.log); }, 2000, 600000))
        << "the bridge did not answer within 2 s while it read, or never finished";
    const DWORD took = ::GetTickCount() - start;
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    const std::size_t after = PeakMemory(*bridge);
    ASSERT_NE(after, 0u);
    EXPECT_LT(after - before, 4u << 20) << "peak memory grew from " << before << " to " << after;
    std::printf("%lu MB of blank lines read in %lu ms; peak memory %.1f MB, %.1f MB before\n",
                megabytes, took, after / 1048576.0, before / 1048576.0);
}

} // namespace
} // namespace e2e
