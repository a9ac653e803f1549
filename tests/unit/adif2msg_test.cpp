// The adif2msg tool as a user runs it: output, exit codes, and the file
// left exactly as it was.

#include "scratch_dir.h"
#include "sent_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Adif2msgTest : public ::testing::Test {
protected:
    ToolRun Tool(const std::string& args)
    {
        const fs::path out = dir / "stdout";
        const fs::path err = dir / "stderr";
        const std::string command =
            std::string(PLOVIK_ADIF2MSG) + " " + args + " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return ToolRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }
    fs::path Sample(const char* name) const { return fs::path(PLOVIK_SAMPLES_DIR) / name; }

    plovik::testing::ScratchDir scratch{"plovik-adif2msg-"};
    fs::path dir = scratch.Path();
};

TEST_F(Adif2msgTest, PrintsTheMessageAndLeavesTheFile)
{
    const fs::path log = dir / "wsjtx_log.adi";
    fs::copy_file(Sample("wsjtx-2.6.1-one-contact-crlf.adi"), log);
    const std::string before = Slurp(log);
    const ToolRun run = Tool(log.string());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "K1ABC#-12#-15#14075.00#Bob#FT8#FN42##RSTS -15  RSTR -12   tnx fer "
                       "QSO####RSTS -15#RSTR -12#100#\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Slurp(log), before);

    const ToolRun noFreq = Tool("--no-freq " + log.string());
    EXPECT_EQ(noFreq.out, "K1ABC#-12#-15##Bob#FT8#FN42##RSTS -15  RSTR -12   tnx fer "
                          "QSO####RSTS -15#RSTR -12#100#\n");
    EXPECT_TRUE(fs::exists(log));
}

TEST_F(Adif2msgTest, RecordPrintsEveryFieldInOrderContactByContact)
{
    const ToolRun run = Tool("--record " + Sample("wsjtx-2.6.1-linux-two-contacts.adi").string());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "m_strCall=K1ABC\nm_strQsoDate=20261207\nm_strTimeOn=062055\n"
                       "m_strTimeOff=062055\nm_strFreq=14075.00\nm_strBand=6\nm_strMode=FT8\n"
                       "m_strState=\nm_strRstRcvd=-12\nm_strRstSent=-15\n"
                       "m_strComment=tnx fer QSO\nm_strGrid=FN42\nm_bQslRcvd=0\nm_strIota=\n"
                       "m_strName=Bob\nm_strQslRDate=\nm_strStationCall=N0CALL\n"
                       "m_strTxPwr=100\nm_strQsoDateOff=20261207\n"
                       "\n"
                       "m_strCall=G4XYZ\nm_strQsoDate=20261207\nm_strTimeOn=062151\n"
                       "m_strTimeOff=062151\nm_strFreq=7049.00\nm_strBand=8\nm_strMode=FT4\n"
                       "m_strState=\nm_strRstRcvd=+02\nm_strRstSent=-10\n"
                       "m_strComment=FT4 test QSO\nm_strGrid=IO91\nm_bQslRcvd=0\nm_strIota=\n"
                       "m_strName=Jim\nm_strQslRDate=\nm_strStationCall=N0CALL\n"
                       "m_strTxPwr=50\nm_strQsoDateOff=20261207\n");
}

// The record of what Logvex took reads as the log did: the times Logvex
// took each contact change nothing.
TEST_F(Adif2msgTest, RecordFileReadsAsTheLogItKeeps)
{
    std::istringstream log(Slurp(Sample("wsjtx-2.6.1-linux-two-contacts.adi")));
    std::string plain = plovik::kSentRecordHeader, record = plain;
    for (std::string line; std::getline(log, line);)
        if (line.rfind("<call:", 0) == 0) {
            plain += line + "\n";
            record += plovik::RecordLine(line, 1796625000);
        }
    ASSERT_NE(record.find("_TAKEN_TIME:6:T>"), std::string::npos);
    std::ofstream(dir / "plain.adi", std::ios::binary) << plain;
    std::ofstream(dir / "record.adi", std::ios::binary) << record;
    for (const char* option : {"", "--record ", "--no-freq "}) {
        const ToolRun expected = Tool(option + (dir / "plain.adi").string());
        const ToolRun run = Tool(option + (dir / "record.adi").string());
        EXPECT_EQ(expected.exitCode, 0) << option;
        EXPECT_NE(expected.out.find("G4XYZ"), std::string::npos) << option;
        EXPECT_EQ(run.out, expected.out) << option;
        EXPECT_EQ(run.exitCode, expected.exitCode) << option;
    }
}

TEST_F(Adif2msgTest, OneLinePerContact)
{
    const ToolRun run = Tool(Sample("wsjtx-2.6.1-linux-two-contacts.adi").string());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "K1ABC#-12#-15#14075.00#Bob#FT8#FN42##RSTS -15  RSTR -12   tnx fer QSO####RSTS "
              "-15#RSTR -12#100#\n"
              "G4XYZ#+02#-10#7049.00#Jim#FT4#IO91##RSTS -10  RSTR +02   FT4 test QSO####RSTS "
              "-10#RSTR +02#50#\n");

    // A '*' in a comment is part of it, and the contacts after it still count.
    std::string text = Slurp(Sample("wsjtx-2.6.1-linux-two-contacts.adi"));
    const std::size_t comment = text.find("<comment:11>tnx fer QSO");
    ASSERT_NE(comment, std::string::npos);
    text.replace(comment, 23, "<comment:9>best * dx");
    const fs::path log = dir / "wsjtx_log.adi";
    std::ofstream(log, std::ios::binary) << text;
    EXPECT_EQ(Tool(log.string()).out,
              "K1ABC#-12#-15#14075.00#Bob#FT8#FN42##RSTS -15  RSTR -12   best * dx####RSTS "
              "-15#RSTR -12#100#\n"
              "G4XYZ#+02#-10#7049.00#Jim#FT4#IO91##RSTS -10  RSTR +02   FT4 test QSO####RSTS "
              "-10#RSTR +02#50#\n");
}

TEST_F(Adif2msgTest, EmptyFileUnreadableFileAndBadUsage)
{
    const fs::path empty = dir / "empty.adi";
    std::ofstream(empty) << "\n\n";
    const ToolRun emptyRun = Tool(empty.string());
    EXPECT_EQ(emptyRun.exitCode, 1);
    EXPECT_EQ(emptyRun.err, "The source file is empty\n");
    EXPECT_EQ(emptyRun.out, "");
    EXPECT_TRUE(fs::exists(empty));

    const ToolRun missing = Tool((dir / "missing.adi").string());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("missing.adi"), std::string::npos);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);

    const ToolRun directory = Tool(dir.string());
    EXPECT_EQ(directory.exitCode, 2);
    EXPECT_NE(directory.err.find("Is a directory"), std::string::npos);

    for (const char* args :
         {"", "--bogus x.adi", "a.adi b.adi", "--record", "-h", "--versions", "--bogus --help"}) {
        const ToolRun usage = Tool(args);
        EXPECT_EQ(usage.exitCode, 64) << args;
        EXPECT_NE(usage.err.find("usage: adif2msg"), std::string::npos) << args;
        EXPECT_EQ(usage.out, "");
    }
}

TEST_F(Adif2msgTest, HelpAndVersionPrintToStandardOutputAndSucceed)
{
    const std::string usage = Tool("").err;
    ASSERT_EQ(usage.rfind("usage: adif2msg [--no-freq] [--record] FILE\n", 0), 0u) << usage;
    const std::string version = std::string("adif2msg ") + PLOVIK_VERSION + "\n";
    const struct {
        const char* args;
        const std::string& out;
    } cases[] = {
        {"--help", usage},
        {"--version", version},
        {"--no-freq --help missing.adi", usage},
        {"--version --bogus", version},
        {"--record --version --help", version},
    };
    for (const auto& c : cases) {
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.exitCode, 0) << c.args;
        EXPECT_EQ(run.out, c.out) << c.args;
        EXPECT_EQ(run.err, "") << c.args;
    }
}

} // namespace
