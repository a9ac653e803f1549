// adif2msg: prints the messages the bridge would send for a WSJT-X log
// file, one line per contact, read through the bridge's own engine. The
// file is never changed, locked for long, or deleted.
// C stdio rather than iostreams: the stream and locale machinery would
// quadruple the size of the .exe that ships beside the bridge.

#include "console_window_side.h"
#include "log_reader.h"
#include "logger_message.h"
#include "reports.h"
#include "system_files.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitEmpty = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitUsage = 64;

constexpr const char kUsage[] =
    "usage: adif2msg [--no-freq] [--record] FILE\n"
    "       adif2msg --help | --version\n"
    "  Prints the text the bridge would send to Logvex for the WSJT-X log FILE,\n"
    "  one line per contact. The file is only read, never changed.\n"
    "  --no-freq  leave the frequency out, as with \"Do not send freq info\" ticked\n"
    "  --record   print each contact's QSO record instead, one field a line,\n"
    "             contacts parted by an empty line\n"
    "  --help     print this text\n"
    "  --version  print the version\n"
    "Exit status: 0 contacts printed, 1 the file holds no contact, 2 the file\n"
    "cannot be read, 64 wrong usage.\n";

void Write(std::FILE* to, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), to);
}

int Usage()
{
    Write(stderr, kUsage);
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    // One line per contact: a large buffer, so writing costs less than reading.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    bool noFreq = false;
    bool printRecord = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            Write(stdout, kUsage);
            return std::fflush(stdout) == 0 ? kExitOk : kExitUnreadable;
        }
        if (arg == "--version") {
            Write(stdout, "adif2msg " PLOVIK_VERSION "\n");
            return std::fflush(stdout) == 0 ? kExitOk : kExitUnreadable;
        }
        if (arg == "--no-freq")
            noFreq = true;
        else if (arg == "--record")
            printRecord = true;
        else if (!arg.empty() && arg[0] == '-')
            return Usage();
        else if (path.empty())
            path = arg;
        else
            return Usage();
    }
    if (path.empty())
        return Usage();

    plovik::ConsoleWindowSide::Options options;
    options.messageBox = [](const std::string& text) {
        Write(stderr, text);
        Write(stderr, "\n");
    };
    options.noFreqCheck = noFreq ? 1 : 0;
    plovik::ConsoleWindowSide window(options);
    plovik::SystemFiles files;

    // Printed as they come, so memory stays flat whatever the file's size.
    plovik::QsoRecord record;
    std::uint8_t noFreqFlag = 0;
    bool first = true;
    std::string line;
    const auto print = [&](plovik::QsoRecord& contact) {
        if (!printRecord) {
            line = plovik::BuildLoggerMessage(contact, noFreqFlag, window);
            line += '\n';
            Write(stdout, line);
            return;
        }
        if (!first)
            Write(stdout, "\n");
        first = false;
        plovik::ForEachField(contact, [&line](const char* member, const std::string& value) {
            line.assign(member).append(1, '=').append(value).append(1, '\n');
            Write(stdout, line);
        });
    };
    const plovik::ReadResult read = plovik::ReadLogFile(record, path, files, window, print);
    const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    switch (read.outcome) {
    case plovik::ReadOutcome::Read:
        break;
    case plovik::ReadOutcome::Empty:
        Write(stderr, plovik::EmptyFileText() + "\n");
        return kExitEmpty;
    case plovik::ReadOutcome::Vanished:
    case plovik::ReadOutcome::InUse:
        std::fprintf(stderr, "adif2msg: cannot open %s: %s\n", path.c_str(), read.reason.c_str());
        return kExitUnreadable;
    default:
        std::fprintf(stderr, "adif2msg: cannot read %s: %s\n", path.c_str(), read.reason.c_str());
        return kExitUnreadable;
    }
    return written ? kExitOk : kExitUnreadable;
}
