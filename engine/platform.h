#pragma once
// The few operations the transfer engine needs from the system it runs on.
// Everything the engine does to files, windows and the user goes through
// here, so that the same engine code runs in the Windows program, in the
// Linux command-line tool and against a fake in the tests.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plovik {

// An opaque window handle; 0 means "no window".
using WindowRef = std::uintptr_t;

// The check state a check box reports: 0 unticked, 1 ticked, 2 indeterminate.
using CheckState = int;

enum class ReadStatus {
    Data,   // some bytes were read
    End,    // end of the file, no bytes
    Failed, // the read failed; see LogFile::ErrorText
};

// The log file while the engine holds it open, with writers kept out.
// Destroying the object closes the file and leaves it in place.
class LogFile {
public:
    virtual ~LogFile() = default;

    // Reads up to `capacity` raw bytes into `buffer`; `count` receives how
    // many. Line splitting is the engine's, so it is the same everywhere.
    virtual ReadStatus Read(char* buffer, std::size_t capacity, std::size_t& count) = 0;

    // Moves the file to `target` (same volume, no file of that name yet)
    // through the still-open handle, then closes it: nobody can append in
    // between, and its old name is free the moment this returns. On failure
    // the file is closed, left in place, and `reason` says why.
    virtual bool HandOverAndClose(const std::string& target, std::string& reason) = 0;

    // The system's reason for the last failed Read.
    virtual std::string ErrorText() const = 0;
};

enum class OpenStatus {
    Opened,
    Absent, // no such file (it may have vanished a moment ago)
    InUse,  // another program holds it open for writing
    Failed, // any other reason; see OpenResult::reason
};

struct OpenResult {
    OpenStatus status = OpenStatus::Failed;
    std::unique_ptr<LogFile> file; // set exactly when status is Opened
    std::string reason;            // the system's text when not Opened
};

enum class SendStatus {
    Delivered,    // the receiver has handled the message
    ReceiverGone, // the window no longer exists
    NotDelivered, // surely not handed over: refused as hung, or the receiver ended in it
    Refused,      // the system does not let us send to it (higher rights)
    InFlight,     // still under way; the result comes later (Transfer::SendFinished)
};

enum class MoveStatus {
    Moved,
    Absent, // no such file
    InUse,  // another program has it open and does not let it be moved
    Failed, // any other reason (reason)
};

// The names of the files in a folder (no subfolders), in no set order.
struct FolderListing {
    bool ok = true;                 // false: the folder could not be read (reason)
    bool exists = true;             // false: there is no such folder (and no names)
    std::vector<std::string> names; // a missing folder is an empty one
    std::string reason;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Opens the file for reading and handing over; others may read it but
    // not write it.
    virtual OpenResult OpenLogFile(const std::string& path) = 0;

    // The outbox: files only the bridge writes. A call waits, up to a
    // second, for another program that holds the file a moment (a scanner),
    // then fails with the reason. What is on the disk when a call returns,
    // so that a power cut cannot undo it, is what the system documents: on
    // Linux every change (fsync of the file and of each folder it touches);
    // on Windows RenameFile (MoveFileExW, write-through) and a taken log's
    // own data (FlushFileBuffers, not for a read-only file), while the
    // take's rename, MakeFolder and RemoveFile reach the disk when Windows
    // writes its cache back. So a delivery is recorded by a rename before
    // any removal: a removed file that a power cut brings back is marked
    // as delivered, and only removed again.
    virtual OpenResult OpenOutboxFile(const std::string& path) = 0;
    virtual bool MakeFolder(const std::string& folder, std::string& reason) = 0;
    virtual FolderListing ListFolder(const std::string& folder) = 0;
    // Fails, with the reason, rather than replace an existing `to`.
    virtual bool RenameFile(const std::string& from, const std::string& to,
                            std::string& reason) = 0;
    virtual bool RemoveFile(const std::string& path, std::string& reason) = 0;

    // Renames the log at start-up to its backup name, never replacing a file.
    virtual MoveStatus MoveLogAside(const std::string& from, const std::string& to,
                                    std::string& reason) = 0;

    // Dispatches every message waiting in the thread's queue. Returns false
    // when the program is shutting down and the caller must stop its work.
    virtual bool DrainMessages() = 0;

    // Shows a modal box with an OK button; returns once it is dismissed.
    virtual void ShowMessageBox(const std::string& text) = 0;

    // The state of the "Do not send freq info" check box.
    virtual CheckState GetNoFreqCheck() = 0;

    // Sends `data` (exactly its bytes, no terminating NUL) to `receiver` as
    // a copy-data packet of kind `kind`, from the program's main window.
    virtual SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                                    const std::string& data) = 0;
};

} // namespace plovik
