// Writes, for every byte a power cut could tear the record's last line at,
// the record as the next append leaves it, one file each, for a check with
// another program's ADIF reader (scripts/check-torn-record.sh).
//   torn_record_files FOLDER

#include "files.h"
#include "sent_record.h"

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: torn_record_files FOLDER\n";
        return 64;
    }
    const std::string torn = plovik::RecordLine(
        "<call:5>W2OPN <name:3>Bob <qso_date:8>20261207 <time_on:6>063000 <comment:7>a <b> c "
        "<gridsquare:4>FN42 <mode:3>FT8 <eor>",
        1796625000);
    const std::string next = plovik::RecordLine(
        "<call:5>W3NXT <qso_date:8>20261207 <time_on:6>063100 <mode:3>FT8 <eor>", 1796625060);
    for (std::size_t cut = 1; cut < torn.size(); ++cut) {
        std::string record = plovik::kSentRecordHeader + torn.substr(0, cut);
        record += plovik::TornTailClosing(record) + next;
        std::ofstream out(std::string(argv[1]) + "/cut" + std::to_string(cut) + ".adi",
                          std::ios::binary);
        if (!(out << record)) {
            std::cerr << "torn_record_files: cannot write in " << argv[1] << "\n";
            return 1;
        }
    }
    return 0;
}
