#pragma once
// An in-memory platform for the engine's tests: files are strings, the
// user interface is recorded, and every failure can be arranged.

#include "files.h"
#include "window_side.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace plovik::testing {

struct FakeFile {
    FakeFile(std::string text = {}, OpenStatus status = OpenStatus::Opened, std::string reason = {})
        : content(std::move(text)), openStatus(status), openReason(std::move(reason))
    {
    }

    std::string content;
    OpenStatus openStatus = OpenStatus::Opened; // what opening it gives
    std::string openReason;                     // with a failing open
    std::size_t failReadAt = std::string::npos; // byte offset of a read failure
    std::string handOverError;                  // non-empty: the hand-over fails
    std::string removeError;                    // non-empty: removing it fails
    bool deletePending = false;                 // removed, it stays listed but cannot be opened
    std::string renameError;                    // non-empty: moving it fails
    std::string appendError;                    // non-empty: appending to it fails
};

struct SentPacket {
    WindowRef receiver;
    unsigned long kind;
    std::string data;
    SendStatus answer; // what the send was told at once
};

class FakePlatform : public Files, public WindowSide {
public:
    std::map<std::string, FakeFile> files;
    std::size_t chunkSize = 7; // small, so lines cross read boundaries

    std::vector<std::string> boxes;
    std::function<void()> onBox;   // runs while a box is "up"
    std::function<bool()> onDrain; // runs at every drain; its result is returned
    int drains = 0;
    int opens = 0;
    std::size_t bytesRead = 0;
    int openFiles = 0;                                 // files open right now
    std::vector<std::weak_ptr<std::string>> openPaths; // the paths of open files
    CheckState check = 0;
    std::vector<CheckState> checkAnswers;  // consumed first, then `check`
    std::vector<SentPacket> asked;         // every send asked for, in order
    std::vector<SentPacket> sent;          // delivered at once (not in flight)
    std::vector<SendStatus> sendResults;   // consumed first, then Delivered
    UtcSeconds now = 0;                    // the clock: 1970 unless a test sets it
    std::vector<std::string> boxesPending; // boxes still up, as BoxPending sees them

    std::vector<std::string> folders; // made by MakeFolder
    std::string makeFolderError;      // non-empty: MakeFolder fails
    std::string listError;            // non-empty: ListFolder fails
    // Consumed first by moves that do not wait for a holder (the start-up
    // move), then they move.
    std::vector<MoveStatus> moveResults;

    bool Exists(const std::string& path) const { return files.count(path) != 0; }
    // A move as the files see it, whatever moveResults holds.
    MoveResult Rename(const std::string& from, const std::string& to);
    // The files of a folder, sorted by name.
    std::vector<std::string> FilesIn(const std::string& folder) const;

    OpenResult OpenForTaking(const std::string& path) override;
    OpenResult OpenForReading(const std::string& path) override { return OpenForTaking(path); }
    FileResult MakeFolder(const std::string& folder) override;
    FolderListing ListFolder(const std::string& folder) override;
    FolderListing ListFoldersNamed(const std::string& folder,
                                   const std::vector<std::string>& prefixes) override
    {
        return KeepFoldersNamed(ListFolder(folder), prefixes);
    }
    MoveResult Move(const std::string& from, const std::string& to, HolderWait wait) override;
    FileResult Remove(const std::string& path) override;
    FileResult Append(const std::string& path, const std::string& header,
                      const std::string& text) override;
    UtcSeconds NowUtc() override { return now; }

    // The window side, role by role.
    bool DrainMessages() override;
    void ShowMessageBox(const std::string& text) override;
    bool BoxPending(const std::string& text) const override;
    CheckState GetNoFreqCheck() override;
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override;
};

} // namespace plovik::testing
