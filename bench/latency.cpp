// Contact hand-over latency from what the two test peers recorded: for each
// contact, the time Logvex received it minus the time WSJT-X closed the log
// file after writing it (both peers read the same system clock).
//   latency RECORDS TIMES RECEIVED [PER_CONTACT_OUT]
// RECORDS: the record lines wsjtx-peer appended, in order; TIMES: its
// --times file; RECEIVED: logvex-peer's --out file. Prints
// "contacts median_ms max_ms min_ms". Fails when a contact is missing,
// arrived twice, or arrived unasked: a latency figure over a run that lost
// contacts would hide the fault.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string CallOf(const std::string& record)
{
    const std::string tag = "<call:";
    const std::size_t at = record.find(tag);
    if (at == std::string::npos)
        return std::string();
    const std::size_t close = record.find('>', at);
    if (close == std::string::npos)
        return std::string();
    const std::size_t length = std::stoul(record.substr(at + tag.size(), close - at - tag.size()));
    return record.substr(close + 1, length);
}

// Reports why the figures cannot be trusted; false, for the readers to return.
bool Fail(const std::string& why)
{
    std::cerr << "latency: " << why << '\n';
    return false;
}

bool ReadLines(const char* path, std::vector<std::string>& lines)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail(std::string("cannot read ") + path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return true;
}

// logvex-peer's records: "kind cbData time sender\n", cbData bytes, "\n".
// The text may hold any byte, so it is taken by its length, not by lines.
bool ReadReceived(const char* path, std::multimap<std::string, unsigned long long>& byCall)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail(std::string("cannot read ") + path + " (Logvex received nothing?)");
    for (std::string head; std::getline(in, head);) {
        std::istringstream fields(head);
        unsigned long long kind = 0, size = 0, time = 0;
        if (!(fields >> kind >> size >> time))
            return Fail("malformed record head in " + std::string(path) + ": " + head);
        std::string text(size, '\0');
        if (!in.read(&text[0], static_cast<std::streamsize>(size)) || in.get() != '\n')
            return Fail("truncated record in " + std::string(path));
        byCall.emplace(text.substr(0, text.find('#')), time);
    }
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: latency RECORDS TIMES RECEIVED [PER_CONTACT_OUT]\n";
        return 64;
    }
    std::vector<std::string> records, times;
    std::multimap<std::string, unsigned long long> received;
    if (!ReadLines(argv[1], records) || !ReadLines(argv[2], times) ||
        !ReadReceived(argv[3], received))
        return 1;
    const auto fail = [](const std::string& why) {
        Fail(why);
        return 1;
    };
    const std::string logged = std::to_string(records.size());
    if (records.empty())
        return fail("no records");
    if (times.size() != records.size())
        return fail(logged + " records but " + std::to_string(times.size()) +
                    " close times: WSJT-X could not log them all");
    if (received.size() != records.size())
        return fail(logged + " contacts logged but " + std::to_string(received.size()) +
                    " received");

    std::vector<double> ms;
    std::ostringstream perContact;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string call = CallOf(records[i]);
        if (call.empty())
            return fail("no call sign in record " + std::to_string(i + 1));
        if (received.count(call) != 1)
            return fail(call + " received " + std::to_string(received.count(call)) + " times");
        const unsigned long long closed = std::stoull(times[i]);
        const unsigned long long got = received.find(call)->second;
        // The difference in whole 100-ns units first: the times themselves
        // are too large for a double's precision. Signed, as the writer reads
        // the clock only after its close.
        ms.push_back(static_cast<double>(static_cast<long long>(got - closed)) / 1e4);
        perContact << call << ' ' << ms.back() << '\n';
    }
    if (argc == 5) {
        std::ofstream out(argv[4], std::ios::binary);
        out << perContact.str();
    }
    std::printf("%zu %.1f %.1f %.1f\n", ms.size(), Median(ms),
                *std::max_element(ms.begin(), ms.end()), *std::min_element(ms.begin(), ms.end()));
    return 0;
}
