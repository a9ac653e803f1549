// Real WSJT-X log files through the engine and the Linux file layer, as
// the bridge takes them: the messages, and nothing left behind.

#include "console_window_side.h"
#include "files_at.h"
#include "log_reader.h"
#include "logger_message.h"
#include "scratch_dir.h"
#include "system_files.h"
#include "transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace plovik {
namespace {

namespace fs = std::filesystem;

const std::string kK1abc = "K1ABC#-12#-15#14075.00#Bob#FT8#FN42##RSTS -15  RSTR -12   tnx fer "
                           "QSO####RSTS -15#RSTR -12#100#";
const std::string kG4xyz = "G4XYZ#+02#-10#7049.00#Jim#FT4#IO91##RSTS -10  RSTR +02   FT4 test "
                           "QSO####RSTS -10#RSTR +02#50#";

struct Sample {
    const char* file;
    std::vector<std::string> messages; // with the frequency; one per contact
};

std::string WithoutFreq(std::string message)
{
    // The frequency is the fourth position.
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i)
        start = message.find('#', start) + 1;
    return message.erase(start, message.find('#', start) - start);
}

TEST(Samples, EachFileReachesLogvexThroughTheOutbox)
{
    const Sample samples[] = {
        {"wsjtx-2.6.1-linux-one-contact.adi", {kK1abc}},
        {"wsjtx-2.6.1-one-contact-crlf.adi", {kK1abc}},
        // Two contacts appended to one file: two messages, in file order.
        {"wsjtx-2.6.1-linux-two-contacts.adi", {kK1abc, kG4xyz}},
    };
    const testing::ScratchDir scratch("plovik-samples-");
    for (const Sample& sample : samples) {
        for (CheckState check : {0, 1}) {
            const fs::path log = scratch.Path() / "wsjtx_log.adi";
            fs::copy_file(fs::path(PLOVIK_SAMPLES_DIR) / sample.file, log,
                          fs::copy_options::overwrite_existing);
            ConsoleWindowSide::Options options;
            options.noFreqCheck = check;
            int boxes = 0;
            options.messageBox = [&](const std::string&) { ++boxes; };
            std::vector<std::string> messages;
            options.send = [&](WindowRef, unsigned long, const std::string& data) {
                messages.push_back(data);
                return SendStatus::Delivered;
            };
            ConsoleWindowSide window(options);
            testing::SystemFilesAt files(1796625000); // 2026-12-07 06:30:00
            QsoRecord record;
            std::uint8_t noFreq = 0;
            Transfer transfer(files, window, record, noFreq,
                              FolderPaths::For(log.string(), log.string() + ".bak"));
            transfer.RunTick([] { return WindowRef(1); });
            std::vector<std::string> expected = sample.messages;
            if (check)
                for (std::string& message : expected)
                    message = WithoutFreq(message);
            EXPECT_EQ(messages, expected) << sample.file;
            EXPECT_FALSE(fs::exists(log)) << sample.file;
            // Each contact recorded as WSJT-X wrote it, under a header, with
            // when Logvex took it.
            std::vector<std::string> records, recorded;
            std::ifstream written(fs::path(PLOVIK_SAMPLES_DIR) / sample.file);
            std::ifstream sentRecord(scratch.Path() / kSentRecordName);
            for (auto [in, out] :
                 {std::pair{&written, &records}, std::pair{&sentRecord, &recorded}})
                for (std::string line; std::getline(*in, line);)
                    if (line.rfind("<call:", 0) == 0)
                        out->push_back(line.substr(0, line.find_last_not_of('\r') + 1));
            for (std::string& line : records)
                line.insert(line.rfind("<eor>"), "<APP_PlovikBridge_TAKEN_DATE:8:D>20261207 "
                                                 "<APP_PlovikBridge_TAKEN_TIME:6:T>063000 ");
            EXPECT_EQ(recorded, records) << sample.file;
            // And it reads as a log does (adif2msg, any logging program).
            std::vector<std::string> again;
            QsoRecord working;
            ReadLogFile(working, (scratch.Path() / kSentRecordName).string(), files, window,
                        [&](QsoRecord& contact) {
                            again.push_back(BuildLoggerMessage(contact, noFreq, window));
                        });
            EXPECT_EQ(again, messages) << sample.file;
            // The next pass sends the same contacts again: to a Logvex
            // that has never had them.
            fs::remove(scratch.Path() / kSentRecordName);
            EXPECT_TRUE(fs::is_empty(scratch.Path() / "plovik_bridge_outbox")) << sample.file;
            EXPECT_EQ(boxes, 0);
        }
    }
}

TEST(Samples, RecordOfTheCrlfFile)
{
    const fs::path dir = fs::temp_directory_path() / "plovik-samples-record";
    fs::create_directories(dir);
    const fs::path log = dir / "wsjtx_log.adi";
    fs::copy_file(fs::path(PLOVIK_SAMPLES_DIR) / "wsjtx-2.6.1-one-contact-crlf.adi", log,
                  fs::copy_options::overwrite_existing);
    ConsoleWindowSide window(ConsoleWindowSide::Options{});
    SystemFiles files;
    QsoRecord r;
    int contacts = 0;
    ASSERT_EQ(ReadLogFile(r, log.string(), files, window, [&](QsoRecord&) { ++contacts; }).outcome,
              ReadOutcome::Read);
    EXPECT_EQ(contacts, 1);
    std::ostringstream fields;
    ForEachField(r, [&](const char* m, const std::string& v) { fields << m << '=' << v << ';'; });
    EXPECT_EQ(fields.str(),
              "m_strCall=K1ABC;m_strQsoDate=20261207;m_strTimeOn=062055;m_strTimeOff=062055;"
              "m_strFreq=14075.00;m_strBand=6;m_strMode=FT8;m_strState=;m_strRstRcvd=-12;"
              "m_strRstSent=-15;m_strComment=tnx fer QSO;m_strGrid=FN42;m_bQslRcvd=0;"
              "m_strIota=;m_strName=Bob;m_strQslRDate=;m_strStationCall=N0CALL;"
              "m_strTxPwr=100;m_strQsoDateOff=20261207;");
    fs::remove_all(dir);
}

} // namespace
} // namespace plovik
