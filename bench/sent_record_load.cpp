// What the record of contacts Logvex took costs at the bridge's first send:
// the time to read it and the memory its keys keep.
//   sent_record_load FOLDER [CONTACTS]
// Prints "contacts seconds kib": the read's time and the growth of the
// resident set it left behind. Fails unless every contact is known after.

#include "console_window_side.h"
#include "outbox_names.h"
#include "sent_record.h"
#include "system_files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

long ResidentKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

plovik::QsoRecord Contact(long i)
{
    plovik::QsoRecord record;
    record.m_strCall = "K" + std::to_string(i);
    record.m_strQsoDate = "20261207";
    record.m_strTimeOn = "062055";
    record.m_strMode = "FT8";
    record.m_strFreq = "14075.00";
    return record;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: sent_record_load FOLDER [CONTACTS]\n");
        return 64;
    }
    const std::filesystem::path folder = argv[1];
    const long contacts = argc > 2 ? std::atol(argv[2]) : 100000;
    std::filesystem::create_directories(folder);
    const std::string path = (folder / plovik::kSentRecordName).string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << plovik::kSentRecordHeader;
        for (long i = 0; i < contacts; ++i) {
            const std::string call = "K" + std::to_string(i);
            out << "<call:" << call.size() << '>' << call
                << " <gridsquare:0> <mode:3>FT8 <rst_sent:0> <rst_rcvd:0> <qso_date:8>20261207 "
                   "<time_on:6>062055 <qso_date_off:8>20261207 <time_off:6>062055 <band:3>20m "
                   "<freq:9>14.075500 <station_callsign:6>N0CALL <my_gridsquare:4>JO62 <eor>\n";
        }
    }
    plovik::ConsoleWindowSide window(plovik::ConsoleWindowSide::Options{});
    plovik::SystemFiles files;
    plovik::Reports reports(window);
    const long before = ResidentKib();
    const auto start = std::chrono::steady_clock::now();
    plovik::SentRecord record(files, window, reports, path, {});
    const bool first = record.Has(Contact(0));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const long grown = ResidentKib() - before;
    if (!first || !record.Has(Contact(contacts - 1)) || record.Has(Contact(contacts)) ||
        record.Size() != static_cast<std::size_t>(contacts)) {
        std::fprintf(stderr, "sent_record_load: the record does not know its contacts\n");
        return 1;
    }
    std::printf("%ld %.3f %ld\n", contacts, took.count(), grown);
    return 0;
}
