#pragma once
// The stage every end-to-end test starts from: a clean WSJT-X folder, no
// bridge, no Logvex, no WSJT-X; and the players the test can bring on.

#include "bridge_names.h"
#include "harness.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// The program's own ids, from its resources.
constexpr int kLogLight = IDC_LOG_LIGHT, kProgLight = IDC_PROG_LIGHT, kNoFreq = IDC_NO_FREQ,
              kBadge = IDC_BADGE;
constexpr int kIdAppAbout = ID_APP_ABOUT, kIdAppExit = ID_APP_EXIT;
constexpr int kIdFileNew = ID_FILE_NEW, kIdFileSave = ID_FILE_SAVE;

// The application title of the program's string table: the caption of its
// window and of its boxes ("" when the program cannot be read).
const std::string& BridgeTitle();

// What WSJT-X 2.6.1 wrote for two contacts (the sample logs of tests/data),
// dated as if logged when the test process started: a contact logged long
// ago reaches Logvex late, and the bridge says so.
struct Samples {
    std::string header; // the six header lines, CRLF
    std::string k1abc;  // a record line, without its line end
    std::string g4xyz;
    std::string oneContact; // the whole one-contact file as WSJT-X wrote it
    std::string date;       // their date and times (start and end): YYYYMMDD, HHMMSS
    std::string time;
};
const Samples& WsjtxSamples();

// The UTC date and time `secondsAgo` before now, as ADIF writes them.
struct AdifMoment {
    std::string date; // YYYYMMDD
    std::string time; // HHMMSS
};
AdifMoment UtcAgo(long long secondsAgo);
// `text` with every contact's dates and times (start and end) set to `at`.
std::string Dated(std::string text, const AdifMoment& at);

// Literal texts Logvex must get for the samples.
extern const char* const kTextK1abc;
extern const char* const kTextK1abcNoFreq;

HWND FindBridge();
// How many contacts an ADIF file holds (its call fields).
std::size_t RecordsIn(const std::string& path);
HWND FindLogvex();
HWND BridgeControl(int id);
// A light as the program says it: kGreen or kGrey by the name a screen
// reader reads for it ("Logvex: running"), CLR_INVALID if it says neither.
// No pixel: on a test runner another window may cover the bridge.
COLORREF Light(int id);
// The bridge's window in front of every other (for a check of its pixels).
bool BringBridgeToFront();
// The bridge's window answers a message within `timeoutMs`.
bool BridgeAnswers(DWORD timeoutMs = 5000);

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A log there before the bridge starts, with a backup so it stays in
    // place and is sent.
    void PlaceLogKeptAtStart(const std::string& content);
    // `arguments`: the bridge's command line after its name (a document to
    // open); `program`: another build of the bridge.
    void StartBridge(const std::string& arguments = "",
                     const std::string& program = BridgeProgram());
    void StartLogvex(const std::string& options = "");
    // WSJT-X's window, by default as older builds register it.
    void StartWsjtx(const std::string& windowClass = "Qt5QWindowIcon",
                    const std::string& title = "WSJT-X (test peer)");
    // WSJT-X logs these records, each as it does; returns once it has.
    void Log(const std::vector<std::string>& records) { LogTo(files.log, records); }
    void LogTo(const std::string& log, const std::vector<std::string>& records);
    // Another instance's folder in the local application data ("JTDX",
    // "WSJT-X - IC7300"), made now and removed after the test.
    std::string InstanceFolder(const std::string& name);
    // The same, in the background (e.g. while it keeps the file open).
    std::unique_ptr<Process> LogInBackground(const std::vector<std::string>& records,
                                             const std::string& options);
    // What the bridge's own reading of `fileContent` would send, by adif2msg.
    std::string Adif2msg(const std::string& fileContent, bool noFreq = false);

    std::vector<Received> Got() const { return ReadReceived(m_received); }
    // Waits until Logvex has got `n` messages, then a further tick: exactly `n`?
    bool GotExactly(std::size_t n, DWORD timeoutMs = 6000) const;
    // Message boxes of the bridge now up.
    static std::vector<HWND> Boxes() { return Dialogs(BridgeTitle()); }
    // Presses the box's OK button; true once the box has gone.
    static bool DismissBox(HWND box);

    WatchedFiles files;
    std::string m_received;
    std::string m_scratch; // a folder of this test's own
    std::unique_ptr<Process> bridge, logvex, wsjtx;

private:
    std::vector<std::string> m_instanceFolders;
};

// A record as WSJT-X 2.6.1 writes it (the K1ABC sample's fields) under
// another five-letter call.
std::string RecordOf(const std::string& call);

} // namespace e2e
