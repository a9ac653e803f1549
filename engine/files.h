#pragma once
// The files the transfer engine works on: WSJT-X's log and the outbox. Each
// system has one implementation (platform/system_files.h), the tests a fake.

#include "clock.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plovik {

// Every file operation says "failed, and why" the same way: in the result it
// returns, whose `reason` is the system's text when it did not succeed;
// nothing comes back through a parameter. A plain operation's result is a
// FileResult; one that can end in more ways than two carries a status of
// its own (OpenResult, MoveResult, FolderListing).
struct FileResult {
    bool ok = true;
    std::string reason; // the system's text when not ok

    static FileResult Failed(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

enum class ReadStatus {
    Data,   // some bytes were read
    End,    // end of the file, no bytes
    Failed, // the read failed; see LogFile::ErrorText
};

// An open file. Destroying the object closes it and leaves it in place.
class LogFile {
public:
    virtual ~LogFile() = default;

    // Reads up to `capacity` raw bytes into `buffer`; `count` receives how
    // many. Line splitting is the engine's, so it is the same everywhere.
    virtual ReadStatus Read(char* buffer, std::size_t capacity, std::size_t& count) = 0;

    // Moves the file to `target` (same volume, no file of that name yet)
    // through the still-open handle, then closes it: nobody can append in
    // between, and its old name is free the moment this returns. On failure
    // the file is closed and left in place. Only a file opened for taking
    // can be moved so.
    virtual FileResult HandOverAndClose(const std::string& target) = 0;

    // The system's reason for the last failed Read.
    virtual std::string ErrorText() const = 0;
};

enum class OpenStatus {
    Opened,
    Absent, // no such file (it may have vanished a moment ago)
    InUse,  // another program holds it open for writing
    Held,   // another program reads it and does not let it be moved (a scanner)
    Failed, // any other reason; see OpenResult::reason
};

struct OpenResult {
    OpenStatus status = OpenStatus::Failed;
    std::unique_ptr<LogFile> file; // set exactly when status is Opened
    std::string reason;            // the system's text when not Opened
};

enum class MoveStatus {
    Moved,
    Absent, // no such file
    InUse,  // another program has it open and does not let it be moved
    Failed, // any other reason (reason)
};

struct MoveResult {
    MoveStatus status = MoveStatus::Failed;
    std::string reason; // the system's text when not Moved
};

// Whether a move waits, in place, for another program that holds the file
// a moment (a scanner, an indexer) before it reports the file in use.
enum class HolderWait {
    None,        // the caller tries again later
    UpToASecond, // the outbox's files: a later contact must not overtake them
};

enum class ListStatus {
    Listed,
    Absent, // there is no such folder: no names, as an empty one
    Failed, // the folder could not be read (reason)
};

// The names in a folder, in no set order: its files, and apart, its folders.
struct FolderListing {
    ListStatus status = ListStatus::Listed;
    std::vector<std::string> names;   // files
    std::vector<std::string> folders; // subfolders, without "." and ".."
    std::string reason;
};

// `listing`'s folders whose names begin with one of `prefixes`, and no
// files: a listed folder filtered, for a system that cannot filter.
FolderListing KeepFoldersNamed(FolderListing listing, const std::vector<std::string>& prefixes);

// What an append writes first after `fileEnd` (the file's last bytes, its
// whole last line at least) so that what it appends starts a record of its
// own: nothing after a line feed or in an empty file; else, after a line a
// power cut tore, the rest of a cut tag or value in blanks, an end of record
// when the line held an unfinished one, and a line feed.
std::string TornTailClosing(std::string_view fileEnd);
// How much of a file's end an append reads for it: far more than a line.
inline constexpr std::size_t kTailBytes = 8192;

// Paths are UTF-8. What is on the disk when a call returns, so that a power
// cut cannot undo it, is what the system documents: on Linux every change
// (fsync of the file and of each folder it touches); on Windows a Move
// (MoveFileExW, write-through) and a taken log's own data (FlushFileBuffers,
// not for a read-only file), while the take's rename, MakeFolder and Remove
// reach the disk when Windows writes its cache back. So a delivery is
// recorded by a move before any removal: a removed file that a power cut
// brings back is marked as delivered, and only removed again.
// The system's side: its files, and its clock beside them.
class Files : public Clock {
public:
    // Opens the log for reading and handing over; others may read it but
    // not write it.
    virtual OpenResult OpenForTaking(const std::string& path) = 0;

    // Opens a file for reading only, with every kind of sharing: nobody is
    // stopped. Waits, up to a second, for another program that holds it a
    // moment.
    virtual OpenResult OpenForReading(const std::string& path) = 0;

    virtual FileResult MakeFolder(const std::string& folder) = 0;
    virtual FolderListing ListFolder(const std::string& folder) = 0;
    // The folders in `folder` whose names begin with one of `prefixes` (no
    // files). A system that can filters the names itself, so that a folder
    // among hundreds of others costs no more to find than among few.
    virtual FolderListing ListFoldersNamed(const std::string& folder,
                                           const std::vector<std::string>& prefixes) = 0;

    // Renames `from` to `to`, never replacing an existing `to`.
    virtual MoveResult Move(const std::string& from, const std::string& to, HolderWait wait) = 0;

    // Removes the file; one already gone counts as removed. Waits, up to a
    // second, for another program that holds it a moment.
    virtual FileResult Remove(const std::string& path) = 0;

    // Appends `text` to the file, made with `header` first when it is new or
    // empty, and after TornTailClosing of its end when it is not; and puts it
    // on the disk before it returns (Linux: an fsync of
    // the file, and of its folder when it was made; Windows:
    // FlushFileBuffers). Others may read the file meanwhile.
    virtual FileResult Append(const std::string& path, const std::string& header,
                              const std::string& text) = 0;
};

} // namespace plovik
