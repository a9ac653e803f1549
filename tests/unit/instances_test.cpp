// Every WSJT-X and JTDX instance folder: which names are one, and each
// folder found and sent in the order taken.

#include "instance_folders.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace plovik {
namespace {

TEST(InstanceFolders, WsjtxAndJtdxUnderEveryName)
{
    for (const char* name : {"WSJT-X", "WSJT-X - IC7300", "WSJT-X - test", "JTDX", "JTDX - FT991"})
        EXPECT_TRUE(IsInstanceFolderName(name)) << name;
    for (const char* name :
         {"WSJT-X - ", "WSJT-X-IC7300", "wsjt-x", "JTDX2", "WSJT-X x", "JTAlert", "", "WSJT"})
        EXPECT_FALSE(IsInstanceFolderName(name)) << name;
}

// Every instance's folder is watched, one found later too (its log is new),
// and the contacts go in the order they were taken, whatever another
// folder's outbox holds.
TEST(Instances, EachFolderFoundAndSentInTheOrderTaken)
{
    FakePlatform platform;
    platform.folders = {"L/WSJT-X", "L/Thunderbird", "L/JTDX"};
    const auto log = [&](const std::string& folder, const std::string& call) {
        platform.files["L/" + folder + "/wsjtx_log.adi"] =
            FakeFile{"x<eoh>\n<call:" + std::to_string(call.size()) + ">" + call + " <eor>\n"};
    };
    log("JTDX", "OLD1"); // history at the first start: moved aside
    QsoRecord record;
    std::uint8_t noFreq = 0;
    Transfer transfer(platform, platform, record, noFreq);
    transfer.WatchInstancesIn("L", '/');
    // Looked for again only when the caller says the root changed.
    bool rootChanged = false;
    transfer.LookForInstancesWhen([&] { return std::exchange(rootChanged, false); });
    transfer.StartUp();
    EXPECT_EQ(transfer.Folders(), (std::vector<std::string>{"L/JTDX", "L/WSJT-X"}));
    EXPECT_TRUE(platform.Exists("L/JTDX/wsjtx_log_bak.adi"));

    const auto tick = [&](WindowRef logvex) { transfer.RunTick([&] { return logvex; }); };
    log("WSJT-X", "K1A");
    tick(0);
    log("JTDX", "J1A");
    tick(0);
    platform.folders.push_back("L/WSJT-X - IC7300"); // a second rig started
    log("WSJT-X - IC7300", "R1A");
    log("WSJT-X", "K2A");
    tick(0);
    EXPECT_EQ(transfer.Folders().size(), 2u) << "looked for folders with no change told";
    // A root that cannot be read is looked in again at the next tick, told or not.
    platform.listError = "The device is not ready.";
    rootChanged = true;
    tick(0);
    platform.listError.clear();
    tick(0);
    EXPECT_EQ(transfer.Folders(),
              (std::vector<std::string>{"L/JTDX", "L/WSJT-X", "L/WSJT-X - IC7300"}));
    // A file WSJT-X's outbox cannot read holds up none of the others.
    platform.files["L/WSJT-X/plovik_bridge_outbox/0000000000000009.adi"] =
        FakeFile{"x", OpenStatus::Failed, "Access is denied."};
    tick(kLogvex);
    std::vector<std::string> calls;
    for (const auto& packet : platform.sent)
        calls.push_back(packet.data.substr(0, packet.data.find('#')));
    EXPECT_EQ(calls, (std::vector<std::string>{"K1A", "J1A", "K2A", "R1A"}));
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_FALSE(platform.Exists("L/WSJT-X - IC7300/wsjtx_log_bak.adi"))
        << "a new folder's log is new";

    // Two logs that cannot be read: one box each, not one each tick.
    for (const char* log : {"L/JTDX/wsjtx_log.adi", "L/WSJT-X/wsjtx_log.adi"})
        platform.files[log] = FakeFile{"x", OpenStatus::Failed, "Access is denied."};
    const std::size_t boxes = platform.boxes.size();
    for (int i = 0; i < 4; ++i)
        tick(kLogvex);
    EXPECT_EQ(platform.boxes.size(), boxes + 2);

    // Files from before the start go in the order their folders were found.
    for (const char* folder : {"L/WSJT-X", "L/JTDX"}) {
        platform.files.erase(std::string(folder) + "/wsjtx_log.adi");
        platform.files[std::string(folder) + "/plovik_bridge_outbox/0000000000000020.adi"] =
            FakeFile{"x<eoh>\n<call:3>" + std::string(1, folder[2]) + "3A <eor>\n"};
    }
    Transfer restarted(platform, platform, record, noFreq);
    restarted.WatchInstancesIn("L", '/');
    restarted.StartUp();
    restarted.RunTick([] { return kLogvex; });
    ASSERT_EQ(platform.sent.size(), 6u);
    EXPECT_EQ(platform.sent[4].data.substr(0, 4), "J3A#");
    EXPECT_EQ(platform.sent[5].data.substr(0, 4), "W3A#");
}

} // namespace
} // namespace plovik
