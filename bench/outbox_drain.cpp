// How long a backlog in one outbox file takes to reach Logvex: the engine
// on real files, a Logvex that takes every contact at once, so what is
// measured is the reading, the message building and the recording of each
// delivery (a rename and a folder sync per contact).
//   outbox_drain FOLDER [CONTACTS]
// Prints "contacts seconds": the time from the first tick until the outbox
// is empty. Fails when a contact is missing or out of order.

#include "console_window_side.h"
#include "system_files.h"
#include "transfer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: outbox_drain FOLDER [CONTACTS]\n");
        return 64;
    }
    const std::filesystem::path folder = argv[1];
    const long contacts = argc > 2 ? std::atol(argv[2]) : 10000;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string log = (folder / "wsjtx_log.adi").string();
    {
        std::ofstream out(log, std::ios::binary);
        out << "WSJT-X ADIF Export\r\n<adif_ver:5>3.1.1\r\n<programid:6>WSJT-X\r\n<EOH>\r\n";
        for (long i = 0; i < contacts; ++i) {
            const std::string call = "K" + std::to_string(i);
            out << "<call:" << call.size() << '>' << call
                << " <gridsquare:4>FN42 <mode:3>FT8 <rst_sent:3>-15 <rst_rcvd:3>-12 "
                   "<qso_date:8>20261207 <time_on:6>062015 <qso_date_off:8>20261207 "
                   "<time_off:6>062055 <band:3>20m <freq:9>14.075123 <station_callsign:5>W1XYZ "
                   "<my_gridsquare:6>FN31pr <tx_pwr:3>100 <comment:11>tnx fer QSO <eor>\r\n";
        }
    }

    long received = 0;
    bool inOrder = true;
    plovik::ConsoleWindowSide::Options options;
    options.send = [&](plovik::WindowRef, unsigned long, const std::string& data) {
        inOrder = inOrder && data.compare(0, data.find('#'), "K" + std::to_string(received)) == 0;
        ++received;
        return plovik::SendStatus::Delivered;
    };
    plovik::ConsoleWindowSide window(options);
    plovik::SystemFiles files;
    plovik::QsoRecord record;
    std::uint8_t noFreq = 0;
    plovik::Transfer transfer(files, window, record, noFreq,
                              plovik::FolderPaths::For(log, log + ".bak"));

    const auto start = std::chrono::steady_clock::now();
    while (received < contacts && transfer.RunTick([] { return plovik::WindowRef(1); }).send ==
                                      plovik::SendOutcome::Sent) {
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (received != contacts || !inOrder) {
        std::fprintf(stderr, "outbox_drain: %ld of %ld received%s\n", received, contacts,
                     inOrder ? "" : ", out of order");
        return 1;
    }
    std::printf("%ld %.3f\n", contacts, took.count());
    return 0;
}
