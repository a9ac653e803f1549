#pragma once
// An in-memory platform for the engine's tests: files are strings, the
// user interface is recorded, and every failure can be arranged.

#include "platform.h"

#include <cstddef>
#include <functional>
#include <map>
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
    std::string removeError;                    // non-empty: RemoveFile fails
    bool deletePending = false;                 // removed, it stays listed but cannot be opened
    std::string renameError;                    // non-empty: RenameFile fails
};

struct SentPacket {
    WindowRef receiver;
    unsigned long kind;
    std::string data;
};

class FakePlatform : public Platform {
public:
    std::map<std::string, FakeFile> files;
    std::size_t chunkSize = 7; // small, so lines cross read boundaries

    std::vector<std::string> boxes;
    std::function<void()> onBox;   // runs while a box is "up"
    std::function<bool()> onDrain; // runs at every drain; its result is returned
    int drains = 0;
    int opens = 0;
    int openFiles = 0; // files open right now
    CheckState check = 0;
    std::vector<CheckState> checkAnswers; // consumed first, then `check`
    std::vector<SentPacket> sent;         // delivered packets only
    std::vector<SendStatus> sendResults;  // consumed first, then Delivered
    int sendAttempts = 0;

    std::vector<std::string> folders;    // made by MakeFolder
    std::string makeFolderError;         // non-empty: MakeFolder fails
    std::string listError;               // non-empty: ListFolder fails
    std::vector<MoveStatus> moveResults; // consumed first by MoveLogAside, then it moves

    bool Exists(const std::string& path) const { return files.count(path) != 0; }
    // The files of a folder, sorted by name.
    std::vector<std::string> FilesIn(const std::string& folder) const;

    OpenResult OpenLogFile(const std::string& path) override;
    OpenResult OpenOutboxFile(const std::string& path) override { return OpenLogFile(path); }
    bool MakeFolder(const std::string& folder, std::string& reason) override;
    FolderListing ListFolder(const std::string& folder) override;
    bool RenameFile(const std::string& from, const std::string& to, std::string& reason) override;
    bool RemoveFile(const std::string& path, std::string& reason) override;
    MoveStatus MoveLogAside(const std::string& from, const std::string& to,
                            std::string& reason) override;
    bool DrainMessages() override;
    void ShowMessageBox(const std::string& text) override;
    CheckState GetNoFreqCheck() override;
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override;
};

} // namespace plovik::testing
