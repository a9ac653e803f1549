// A contact logged in WSJT-X reaches Logvex once, as the exact text.

#include "bridge_fixture.h"

namespace e2e {
namespace {

std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t hash; (hash = text.find('#', at)) != std::string::npos; at = hash + 1)
        fields.push_back(text.substr(at, hash - at));
    return fields;
}

using Transfer = BridgeTest;

TEST_F(Transfer, LoggedContactArrivesOnceAsTheExactText)
{
    StartLogvex();
    StartBridge();
    Log({WsjtxSamples().k1abc});

    ASSERT_TRUE(GotExactly(1)) << Got().size() << " messages";
    const Received got = Got()[0];
    EXPECT_EQ(got.kind, 10001u);
    EXPECT_EQ(got.bytes, kTextK1abc);
    EXPECT_EQ(got.cbData, std::string(kTextK1abc).size()); // no terminating NUL
    EXPECT_EQ(got.sender, reinterpret_cast<ULONG_PTR>(FindBridge())) << "wParam: the main window";
    EXPECT_FALSE(FileExists(files.log)) << "the read file is moved into the outbox";
    EXPECT_FALSE(FileExists(files.backup));
}

TEST_F(Transfer, EachContactArrivesAsAdif2msgReadsIt)
{
    const Samples& s = WsjtxSamples();
    const std::string expectedFirst = Adif2msg(s.header + s.k1abc + "\r\n");
    const std::string expectedSecond = Adif2msg(s.header + s.g4xyz + "\r\n");
    ASSERT_EQ(expectedFirst, kTextK1abc);
    ASSERT_NE(expectedSecond, expectedFirst);

    StartLogvex();
    StartBridge();
    Log({s.k1abc});
    ASSERT_TRUE(WaitFor([&] { return Got().size() == 1 && !FileExists(files.log); }));
    Log({s.g4xyz}); // a new file, with its header again
    ASSERT_TRUE(GotExactly(2));
    EXPECT_EQ(Got()[0].bytes, expectedFirst);
    EXPECT_EQ(Got()[1].bytes, expectedSecond);
    EXPECT_EQ(Got()[1].cbData, expectedSecond.size());
}

TEST_F(Transfer, TickedCheckBoxLeavesTheFrequencyOutUntilUnticked)
{
    StartLogvex();
    StartBridge();
    const HWND box = BridgeControl(kNoFreq);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "unticked at start";

    ::SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abcNoFreq);
    EXPECT_EQ(Got()[0].bytes, Adif2msg(WsjtxSamples().oneContact, true));
    const std::vector<std::string> fields = Fields(Got()[0].bytes);
    ASSERT_EQ(fields.size(), 15u);
    EXPECT_EQ(fields[3], "") << "position 4, the frequency";

    ::SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Another contact: the same one again would be skipped, as Logvex has it.
    Log({WsjtxSamples().g4xyz});
    ASSERT_TRUE(GotExactly(2));
    EXPECT_EQ(Got()[1].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
    EXPECT_EQ(Fields(Got()[1].bytes)[3], "7049.00");
}

} // namespace
} // namespace e2e
