// A crash at any instant loses no contact: the engine runs a scenario
// against real files, and the N-th file operation or send "crashes" (the
// run stops at once and everything held in memory is dropped), for every N.
// A fresh engine then goes on from the files alone.

#include "console_window_side.h"
#include "files_at.h"
#include "scratch_dir.h"
#include "system_files.h"
#include "transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace plovik {
namespace {

struct Crash {};

// Counts the operations that touch the disk or Logvex, and crashes before
// the chosen one. Remembers whether the last one done was a delivered send.
struct CrashPlan {
    std::size_t crashAt = 0; // 0: never
    std::size_t done = 0;
    bool lastWasDelivery = false;
    bool crashedAfterDelivery = false;

    void Next()
    {
        if (crashAt != 0 && done + 1 == crashAt) {
            crashedAfterDelivery = lastWasDelivery;
            throw Crash{};
        }
        ++done;
        lastWasDelivery = false;
    }
};

class CrashingFile : public LogFile {
public:
    CrashingFile(std::unique_ptr<LogFile> inner, CrashPlan& plan)
        : m_inner(std::move(inner)), m_plan(plan)
    {
    }
    ReadStatus Read(char* buffer, std::size_t capacity, std::size_t& count) override
    {
        m_plan.Next();
        return m_inner->Read(buffer, capacity, count);
    }
    FileResult HandOverAndClose(const std::string& target) override
    {
        m_plan.Next();
        return m_inner->HandOverAndClose(target);
    }
    std::string ErrorText() const override { return m_inner->ErrorText(); }

private:
    std::unique_ptr<LogFile> m_inner;
    CrashPlan& m_plan;
};

// The bridge's files and window side, each operation counted.
class CrashingPlatform : public Files, public WindowSide {
public:
    CrashingPlatform(Files& files, WindowSide& window, CrashPlan& plan)
        : m_files(files), m_window(window), m_plan(plan)
    {
    }

    OpenResult OpenForTaking(const std::string& path) override
    {
        return Wrap(m_files.OpenForTaking(path));
    }
    OpenResult OpenForReading(const std::string& path) override
    {
        return Wrap(m_files.OpenForReading(path));
    }
    FileResult MakeFolder(const std::string& folder) override
    {
        m_plan.Next();
        return m_files.MakeFolder(folder);
    }
    FolderListing ListFolder(const std::string& folder) override
    {
        m_plan.Next();
        return m_files.ListFolder(folder);
    }
    FolderListing ListFoldersNamed(const std::string& folder,
                                   const std::vector<std::string>& prefixes) override
    {
        m_plan.Next();
        return m_files.ListFoldersNamed(folder, prefixes);
    }
    MoveResult Move(const std::string& from, const std::string& to, HolderWait wait) override
    {
        m_plan.Next();
        return m_files.Move(from, to, wait);
    }
    FileResult Remove(const std::string& path) override
    {
        m_plan.Next();
        return m_files.Remove(path);
    }
    FileResult Append(const std::string& path, const std::string& header,
                      const std::string& text) override
    {
        m_plan.Next();
        return m_files.Append(path, header, text);
    }
    bool DrainMessages() override { return true; }
    void ShowMessageBox(const std::string& text) override { boxes.push_back(text); }
    CheckState GetNoFreqCheck() override { return 0; }
    UtcSeconds NowUtc() override { return m_files.NowUtc(); }
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override
    {
        m_plan.Next();
        const SendStatus status = m_window.SendCopyData(receiver, kind, data);
        m_plan.lastWasDelivery = status == SendStatus::Delivered;
        return status;
    }

    std::vector<std::string> boxes;

private:
    OpenResult Wrap(OpenResult opened)
    {
        m_plan.Next();
        if (opened.file)
            opened.file = std::make_unique<CrashingFile>(std::move(opened.file), m_plan);
        return opened;
    }

    Files& m_files;
    WindowSide& m_window;
    CrashPlan& m_plan;
};

// What happens before a tick, and what Logvex does in it.
struct Step {
    std::vector<const char*> logged; // calls WSJT-X logs just before the tick
    bool logvexThere = true;
    int refusals = 0;                // sends Logvex does not take in this tick
    bool stoppedWhileLogged = false; // the bridge was closed meanwhile, and starts again
    int instance = 0;                // logged into the log of kInstances[instance]
};

// Two programs on one machine, each with its own folder, log and outbox.
const char* const kInstances[] = {"WSJT-X", "JTDX - IC7300"};

const char* const kHeader = "ADIF Export\r\n<adif_ver:5>3.1.1\r\n<programid:6>WSJT-X\r\n<eoh>\r\n";

struct Outcome {
    std::vector<std::string> received; // calls, in the order Logvex handled them
    std::vector<std::string> recorded; // calls in the records of what Logvex took
    std::size_t untimed = 0;           // taken dates or times missing or repeated
    std::size_t operations = 0;
    bool crashed = false;
    bool crashedAfterDelivery = false;
    std::vector<std::string> boxes;
    bool leftovers = false;         // a log file or outbox file left at the end
    bool crashedBeforeMark = false; // before the first start had marked the folder
    bool backedUp = false;          // a log was moved aside as old history
};

Outcome RunScenario(const std::filesystem::path& root, const std::vector<Step>& steps,
                    std::size_t crashAt)
{
    // The folder of the first contact, which a crash in the first start can
    // leave unmarked; and every instance's log.
    const std::filesystem::path folder = root / kInstances[steps[1].instance];
    const std::string backup = (folder / "wsjtx_log_bak.adi").string();
    std::vector<std::filesystem::path> logs;
    for (const char* instance : kInstances) {
        std::filesystem::create_directories(root / instance);
        logs.push_back(root / instance / "wsjtx_log.adi");
    }
    Outcome outcome;
    int refusalsLeft = 0;
    ConsoleWindowSide::Options options;
    options.send = [&](WindowRef, unsigned long, const std::string& data) {
        if (refusalsLeft > 0) {
            --refusalsLeft;
            return SendStatus::NotDelivered;
        }
        outcome.received.push_back(data.substr(0, data.find('#')));
        return SendStatus::Delivered;
    };
    ConsoleWindowSide window(options);
    testing::SystemFilesAt files(1796625000); // 2026-12-07 06:30:00
    CrashPlan plan;
    plan.crashAt = crashAt;

    // The bridge's process: everything in it is lost at a crash. A crashed
    // bridge stays down until the next step, while WSJT-X goes on logging.
    std::unique_ptr<CrashingPlatform> platform;
    std::unique_ptr<Transfer> transfer;
    QsoRecord record;
    std::uint8_t noFreq = 0;
    bool running = false;
    const auto guarded = [&](const std::function<void()>& work) {
        try {
            work();
        } catch (const Crash&) {
            outcome.crashed = true;
            outcome.crashedAfterDelivery = plan.crashedAfterDelivery;
            outcome.crashedBeforeMark = !std::filesystem::exists(folder / kOutboxFolderName);
            plan.crashAt = 0; // once is enough; the restart runs on
            running = false;
        }
    };
    const auto stop = [&] {
        if (platform)
            outcome.boxes.insert(outcome.boxes.end(), platform->boxes.begin(),
                                 platform->boxes.end());
        running = false;
    };
    // Every start runs the start-up step, which may crash too.
    const auto tick = [&](bool logvexThere) {
        if (!running) {
            stop();
            platform = std::make_unique<CrashingPlatform>(files, window, plan);
            record = QsoRecord();
            running = true;
            transfer = std::make_unique<Transfer>(*platform, *platform, record, noFreq);
            guarded([&] { transfer->WatchInstancesIn(root.string(), '/'); });
            if (running)
                guarded([&] { transfer->StartUp(); });
        }
        if (running)
            guarded([&] {
                transfer->RunTick([&] { return logvexThere ? WindowRef(1) : WindowRef(0); });
            });
    };

    for (const Step& step : steps) {
        if (step.stoppedWhileLogged)
            stop();
        if (!step.logged.empty()) {
            // WSJT-X appends, with the header when it makes the file anew.
            const std::filesystem::path& log = logs[step.instance];
            const bool fresh = !std::filesystem::exists(log);
            std::ofstream out(log, std::ios::binary | std::ios::app);
            if (fresh)
                out << kHeader;
            for (const char* call : step.logged)
                out << "<call:" << std::char_traits<char>::length(call) << '>' << call
                    << " <qso_date:8>20261207 <time_on:6>06" << call[0] << call[1] << "00"
                    << " <mode:3>FT8 <eor>\r\n";
        }
        refusalsLeft = step.refusals;
        tick(step.logvexThere);
    }
    // Then Logvex stays and the bridge runs on until nothing waits.
    for (int i = 0; i < 4; ++i)
        tick(true);
    stop();
    outcome.operations = plan.done;
    for (const std::filesystem::path& log : logs)
        outcome.leftovers = outcome.leftovers || std::filesystem::exists(log) ||
                            !std::filesystem::is_empty(log.parent_path() / kOutboxFolderName);
    outcome.backedUp = std::filesystem::exists(backup);
    for (const std::filesystem::path& log : logs) {
        std::ifstream record(log.parent_path() / kSentRecordName);
        std::string line;
        while (std::getline(record, line))
            if (line.rfind("<call:", 0) == 0) {
                outcome.recorded.push_back(line.substr(8, 5));
                for (const char* field : {"<APP_PlovikBridge_TAKEN_DATE:8:D>20261207 ",
                                          "<APP_PlovikBridge_TAKEN_TIME:6:T>063000 "}) {
                    std::size_t count = 0;
                    for (std::size_t at = line.find(field); at != std::string::npos;
                         at = line.find(field, at + 1))
                        ++count;
                    outcome.untimed += count == 1 ? 0 : 1;
                }
            }
    }

    return outcome;
}

TEST(CrashPoints, NoContactLostAtAnyCrashAndAtMostOneSentTwice)
{
    // The first start finds no log. Then four log files, one with two
    // contacts; Logvex refuses one send and is away for one tick, while a
    // contact is logged; one contact is logged while the bridge is closed.
    // JTDX's contacts (J...) interleave with WSJT-X's (K...); each program's
    // keep their order.
    const std::vector<Step> steps = {
        {{}, true, 0},
        {{"K1AAA"}, true, 0},
        {{"K2BBB", "K3CCC"}, true, 1},
        {{"J1AAA"}, true, 0, false, 1},
        {{}, false, 0},
        {{"K4DDD"}, false, 0},
        {{"J2BBB", "J3CCC"}, false, 0, false, 1},
        {{}, true, 0},
        {{"K5EEE"}, true, 0, true},
        {{"J4DDD"}, true, 1, true, 1},
    };
    const std::vector<std::string> all = {"K1AAA", "K2BBB", "K3CCC", "J1AAA", "K4DDD",
                                          "J2BBB", "J3CCC", "K5EEE", "J4DDD"};
    const auto ofProgram = [](const std::vector<std::string>& calls, char program) {
        std::vector<std::string> kept;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(kept),
                     [&](const std::string& call) { return call[0] == program; });
        return kept;
    };
    const testing::ScratchDir scratch("plovik-crash-");

    const Outcome clean = RunScenario(scratch.Path(), steps, 0);
    ASSERT_EQ(clean.received, all);
    ASSERT_FALSE(clean.crashed);
    ASSERT_FALSE(clean.leftovers);
    ASSERT_FALSE(clean.backedUp);
    ASSERT_EQ(clean.untimed, 0u);
    ASSERT_GT(clean.operations, 20u);

    std::size_t duplicates = 0, beforeMark = 0;
    for (std::size_t n = 1; n <= clean.operations; ++n) {
        std::filesystem::remove_all(scratch.Path());
        std::filesystem::create_directories(scratch.Path());
        const Outcome run = RunScenario(scratch.Path(), steps, n);
        ASSERT_TRUE(run.crashed) << "crash point " << n;
        std::vector<std::string> firsts;
        for (const std::string& call : run.received)
            if (std::find(firsts.begin(), firsts.end(), call) == firsts.end())
                firsts.push_back(call);
        // A bridge that never got as far as marking the folder has not
        // started there: at its next start, the log is old history.
        std::vector<std::string> expected = all;
        if (run.crashedBeforeMark)
            expected.erase(expected.begin());
        EXPECT_EQ(run.backedUp, run.crashedBeforeMark) << "crash point " << n;
        for (char program : {'K', 'J'})
            EXPECT_EQ(ofProgram(firsts, program), ofProgram(expected, program))
                << "lost or out of order at crash point " << n;
        EXPECT_EQ(firsts.size(), expected.size()) << "crash point " << n;
        const std::size_t extra = run.received.size() - firsts.size();
        EXPECT_LE(extra, 1u) << "crash point " << n;
        if (extra > 0) {
            EXPECT_TRUE(run.crashedAfterDelivery)
                << "a contact sent twice, though the crash at point " << n
                << " did not follow a delivery";
        }
        duplicates += extra;
        beforeMark += run.crashedBeforeMark ? 1 : 0;
        EXPECT_FALSE(run.leftovers) << "crash point " << n;
        std::vector<std::string> recorded = run.recorded;
        std::sort(recorded.begin(), recorded.end());
        std::sort(firsts.begin(), firsts.end());
        EXPECT_EQ(recorded, firsts) << "each contact recorded once, at crash point " << n;
        EXPECT_EQ(run.untimed, 0u)
            << "each record with when Logvex took it, once, at crash point " << n;
        EXPECT_TRUE(run.boxes.empty()) << "crash point " << n << ": " << run.boxes.front();
    }
    std::cout << "crash points tried: " << clean.operations
              << ", in a first start before the folder was marked: " << beforeMark
              << ", contacts sent twice in all: " << duplicates << "\n";
}

} // namespace
} // namespace plovik
