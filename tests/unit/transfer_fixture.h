#pragma once
// The transfer over the fake system, one WSJT-X folder: what the transfer,
// take, outbox and record tests share.

#include "fake_platform.h"
#include "outbox_names.h"
#include "transfer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace plovik {

using testing::FakeFile;
using testing::FakePlatform;

inline const std::string kPath = "wsjtx_log.adi";
inline const std::string kBackup = "wsjtx_log_bak.adi";
inline const FolderPaths kPaths = FolderPaths::For(kPath, kBackup);
inline const std::string kOutbox = "plovik_bridge_outbox";
inline const std::string kContactA =
    "x<eoh>\n<call:5>K1ABC <band:3>20m <mode:3>FT8 <freq:9>14.074000 <eor>\n";
inline const std::string kContactB = "x<eoh>\n<call:5>G4XYZ <band:3>40m <mode:3>FT4 <eor>\n";
// What WSJT-X leaves when it logs B while A is still in the file.
inline const std::string kContactsAB = kContactA + "<call:5>G4XYZ <band:3>40m <mode:3>FT4 <eor>\n";
inline constexpr WindowRef kLogvex = 77;

inline std::string InOutbox(const std::string& name)
{
    return kOutbox + "/" + name;
}

class TransferTest : public ::testing::Test {
protected:
    TickOutcome Tick(WindowRef logvex = kLogvex)
    {
        return transfer.RunTick([&] {
            ++probes;
            return logvex;
        });
    }
    void Log(const std::string& content) { platform.files[kPath] = FakeFile{content}; }
    // The calls of the contacts delivered at once, and of every send asked for.
    std::vector<std::string> Calls() const { return CallsOf(platform.sent); }
    std::vector<std::string> Asked() const { return CallsOf(platform.asked); }
    static std::vector<std::string> CallsOf(const std::vector<testing::SentPacket>& packets)
    {
        std::vector<std::string> calls;
        for (const auto& packet : packets)
            calls.push_back(packet.data.substr(0, packet.data.find('#')));
        return calls;
    }
    std::vector<std::string> Outbox() const { return platform.FilesIn(kOutbox); }

    FakePlatform platform;
    QsoRecord record;
    std::uint8_t noFreq = 0;
    Transfer transfer{platform, platform, record, noFreq, kPaths};
    int probes = 0;
};

} // namespace plovik
