// Writes a WSJT-X-style ADIF log for benchmarks: the header WSJT-X writes
// for a new file, then one record per line ending " <eor>", CRLF.
//   gen_wsjtx_log CONTACTS OUT     (CONTACTS may end in 'M' for megabytes)

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

std::string Field(const char* name, const std::string& value)
{
    return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + value + " ";
}

std::string Record(unsigned n)
{
    static const char* const kBands[] = {"160m", "80m", "40m", "30m", "20m",
                                         "17m",  "15m", "10m", "6m"};
    static const char* const kFreqs[] = {"1.840",  "3.573",  "7.074",  "10.136", "14.074",
                                         "18.100", "21.074", "28.074", "50.313"};
    static const char* const kGrids[] = {"FN42", "IO91", "JO62", "KP20", "PM95", "QF56"};
    const unsigned band = n % 9;
    char call[16];
    std::snprintf(call, sizeof call, "%c%u%c%c%c", 'A' + n % 26, n % 10, 'A' + (n / 10) % 26,
                  'A' + (n / 260) % 26, 'A' + (n / 6760) % 26);
    char time[8];
    std::snprintf(time, sizeof time, "%02u%02u%02u", (n / 3600) % 24, (n / 60) % 60, n % 60);
    std::string line;
    line += Field("call", call);
    line += Field("gridsquare", kGrids[n % 6]);
    line += Field("mode", n % 4 == 0 ? "MFSK" : "FT8");
    if (n % 4 == 0)
        line += Field("submode", "FT4");
    line += Field("rst_sent", "-" + std::to_string(n % 24));
    line += Field("rst_rcvd", "+0" + std::to_string(n % 10));
    line += Field("qso_date", "20261207");
    line += Field("time_on", time);
    line += Field("qso_date_off", "20261207");
    line += Field("time_off", time);
    line += Field("band", kBands[band]);
    line += Field("freq", std::string(kFreqs[band]) + std::to_string(100 + n % 900));
    line += Field("station_callsign", "N0CALL");
    line += Field("my_gridsquare", "JO62");
    line += Field("tx_pwr", std::to_string(5 + n % 100));
    line += Field("comment", "tnx fer QSO " + std::to_string(n));
    line += Field("name", n % 2 ? "Bob" : "Jim");
    line += "<eor>\r\n";
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: gen_wsjtx_log CONTACTS|SIZEM OUT\n";
        return 64;
    }
    const std::string count = argv[1];
    const bool bySize = !count.empty() && count.back() == 'M';
    const unsigned long long target = std::strtoull(count.c_str(), nullptr, 10);
    const unsigned long long bytes = bySize ? target * 1024 * 1024 : 0;
    std::ofstream out(argv[2], std::ios::binary);
    out << "ADIF Export\r\n<adif_ver:5>3.1.1\r\n<created_timestamp:15>20261207 062122\r\n"
           "<programid:6>WSJT-X\r\n<programversion:5>2.6.1\r\n<eoh>\r\n";
    unsigned long long written = 0;
    for (unsigned n = 0; bySize ? written < bytes : n < target; ++n) {
        const std::string record = Record(n);
        out << record;
        written += record.size();
    }
    out.close();
    if (!out) {
        std::cerr << "gen_wsjtx_log: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
