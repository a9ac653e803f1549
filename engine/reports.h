#pragma once
// What the bridge tells the user when something goes wrong, and the one
// place that keeps the same failure, met again at every tick, from
// stacking up boxes.

#include "clock.h"
#include "window_side.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace plovik {

std::string TakeFailureText(const std::string& path, const std::string& reason);
std::string OutboxFailureText(const std::string& path, const std::string& reason);
std::string LegacyFailureText(const std::string& path, const std::string& reason);
std::string BadFileText(const std::string& path, const std::string& reason);
std::string NotRecordedText(const std::string& path, const std::string& reason);
std::string MoveAsideFailureText(const std::string& log, const std::string& backup,
                                 const std::string& reason);
std::string RecordReadFailureText(const std::string& path, const std::string& reason);
std::string RecordAppendFailureText(const std::string& path, const std::string& reason);
// Shown by the window side itself (its sending could not start) and by
// File Open, outside any folder's transfer; the words are kept here all
// the same.
std::string SenderFailureText(const std::string& reason);
std::string OpenFailureText(const std::string& path, const std::string& reason);
// A second copy's: the first runs where it cannot be brought forward, or
// whether one runs cannot be told.
std::string RunningElsewhereText();
std::string SingleStartFailureText(const std::string& path, const std::string& reason);
// A log file without any line of content.
std::string EmptyFileText();

// One contact Logvex took late, as the box lists it.
struct LateContact {
    std::string call, band, mode; // band as ADIF names it ("20m")
    std::string loggedAt;         // its own date and start time, UTC ("2026-12-08 06:20")
};
// Late contacts for one box: how many, how late (the least and the most),
// the first kLateListed of them, and the records that keep their times.
// Its size stays the same however many there are.
inline constexpr std::size_t kLateListed = 10;
struct LateRun {
    std::size_t count = 0;
    UtcSeconds least = 0;
    UtcSeconds most = 0;
    std::vector<LateContact> listed;
    std::vector<std::string> recordPaths; // each once

    void Add(LateContact contact, UtcSeconds lateBy, const std::string& recordPath);
};
std::string LateBoxText(const LateRun& late);

// Logvex runs with higher rights: the system refuses every send to it.
std::string RefusedText();

class Reports {
public:
    // What fails on its own: the taking of the log, the reading of an
    // outbox folder, and Logvex refusing the bridge (higher rights).
    enum class Topic { Take, Outbox, Refusal, Count };

    explicit Reports(MessageBoxes& boxes) : m_boxes(boxes) {}

    // Shows `text` unless it is what was last shown on the topic.
    void Report(Topic topic, const std::string& text);
    // The topic's failure is over: the next one is shown even if the same.
    void Clear(Topic topic) { Last(topic).clear(); }
    // A box shown once whatever came before (its caller sees to that).
    void Show(const std::string& text) { m_boxes.ShowMessageBox(text); }
    // Shows `text` unless the box last shown through here is still up or
    // waiting to be shown; false then, and the caller keeps it for later.
    bool ShowWhenFree(const std::string& text);

private:
    std::string& Last(Topic topic) { return m_last[static_cast<std::size_t>(topic)]; }

    MessageBoxes& m_boxes;
    std::array<std::string, static_cast<std::size_t>(Topic::Count)> m_last;
    std::string m_lastWhenFree;
};

} // namespace plovik
