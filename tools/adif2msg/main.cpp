// adif2msg: prints the messages the bridge would send for a WSJT-X log
// file, one line per contact, read through the bridge's own engine. The
// file is never changed, locked for long, or deleted.

#include "console_platform.h"
#include "log_reader.h"
#include "logger_message.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

constexpr int kExitEmpty = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitUsage = 64;

int Usage()
{
    std::cerr << "usage: adif2msg [--no-freq] [--record] FILE\n"
                 "  Prints the text the bridge would send to Logvex for the WSJT-X log FILE,\n"
                 "  one line per contact.\n"
                 "  --no-freq  leave the frequency out, as with \"Do not send freq info\" ticked\n"
                 "  --record   print each contact's QSO record instead, one field a line,\n"
                 "             contacts parted by an empty line\n";
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    // One line per contact: C stdio synchronisation would cost more than the reading.
    std::ios::sync_with_stdio(false);
    bool noFreq = false;
    bool printRecord = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
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

    plovik::ConsolePlatform::Options options;
    options.access = plovik::FileAccess::ReadOnly;
    options.messageBox = [](const std::string& text) { std::cerr << text << '\n'; };
    options.noFreqCheck = noFreq ? 1 : 0;
    plovik::ConsolePlatform platform(options);

    // Printed as they come, so memory stays flat whatever the file's size.
    plovik::QsoRecord record;
    std::uint8_t m_nNoFreq = 0;
    bool first = true;
    const auto print = [&](plovik::QsoRecord& contact) {
        if (!printRecord) {
            std::cout << plovik::BuildLoggerMessage(contact, m_nNoFreq, platform) << '\n';
            return;
        }
        if (!first)
            std::cout << '\n';
        first = false;
        plovik::ForEachField(contact, [](const char* member, const std::string& value) {
            std::cout << member << '=' << value << '\n';
        });
    };
    const plovik::ReadResult read = plovik::ReadLogFile(record, path, platform, print);
    std::cout.flush();
    switch (read.outcome) {
    case plovik::ReadOutcome::Read:
        break;
    case plovik::ReadOutcome::Empty:
        return kExitEmpty;
    case plovik::ReadOutcome::Vanished:
    case plovik::ReadOutcome::InUse:
        std::cerr << "adif2msg: cannot open " << path << ": " << read.reason << '\n';
        return kExitUnreadable;
    default:
        std::cerr << "adif2msg: cannot read " << path << ": " << read.reason << '\n';
        return kExitUnreadable;
    }
    return std::cout ? 0 : kExitUnreadable;
}
