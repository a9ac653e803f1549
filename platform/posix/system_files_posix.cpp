// The files on Linux. What is on the disk when a call returns is what
// fsync(2) promises: an fsync of a file flushes its data and its own
// metadata, but an entry made, renamed or removed in a folder is sure to be
// on the disk only once that folder has been fsynced too. So every change is
// followed by an fsync of each folder it touches. renameat2(2) with
// RENAME_NOREPLACE renames in one step and fails rather than replace a file
// of the new name.

#include "system_files.h"
#include "unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace plovik {

namespace {

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename or removal is on the disk only once its folder is.
FileResult SyncFolder(const std::string& folder)
{
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd || ::fsync(fd.get()) != 0)
        return FileResult::Failed(ErrnoText(errno));
    return {};
}

// One atomic step that never replaces a file of the new name, so a file is
// never under two names, nor one lost under another.
FileResult RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        return FileResult::Failed(ErrnoText(errno));
    return {};
}

// A rename's two folders on the disk, the target's first.
FileResult SyncFolders(const std::string& from, const std::string& to)
{
    FileResult synced = SyncFolder(FolderOf(to));
    if (synced && FolderOf(from) != FolderOf(to))
        synced = SyncFolder(FolderOf(from));
    return synced;
}

class PosixLogFile : public LogFile {
public:
    PosixLogFile(UniqueFd fd, std::string path, bool keepFile)
        : m_fd(std::move(fd)), m_path(std::move(path)), m_bKeepFile(keepFile)
    {
    }

    ReadStatus Read(char* buffer, std::size_t capacity, std::size_t& count) override
    {
        count = 0;
        for (;;) {
            const ssize_t got = ::read(m_fd.get(), buffer, capacity);
            if (got > 0) {
                count = static_cast<std::size_t>(got);
                return ReadStatus::Data;
            }
            if (got == 0)
                return ReadStatus::End;
            if (errno != EINTR) {
                m_lastError = errno;
                return ReadStatus::Failed;
            }
        }
    }

    FileResult HandOverAndClose(const std::string& target) override
    {
        // Moved while still held, so no writer that takes the lock gets in
        // between; its bytes are on the disk before its new name is.
        FileResult moved;
        if (m_bKeepFile)
            moved = FileResult::Failed(ErrnoText(EPERM));
        else if (::fsync(m_fd.get()) != 0)
            moved = FileResult::Failed(ErrnoText(errno));
        else if ((moved = RenameNoReplace(m_path, target)) &&
                 (moved = SyncFolder(FolderOf(target))))
            moved = SyncFolder(FolderOf(m_path));
        m_fd.reset();
        return moved;
    }

    std::string ErrorText() const override { return ErrnoText(m_lastError); }

private:
    UniqueFd m_fd;
    std::string m_path;
    bool m_bKeepFile;
    int m_lastError = 0;
};

} // namespace

namespace {

OpenResult OpenFile(const std::string& path, bool forTaking)
{
    OpenResult result;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        const int error = errno;
        result.status = error == ENOENT ? OpenStatus::Absent : OpenStatus::Failed;
        result.reason = ErrnoText(error);
        return result;
    }
    // Writers that take the advisory lock are kept out while we read; a
    // writer that holds it makes the file "in use". A read-only open takes
    // no lock at all, so it never gets in anybody's way.
    if (forTaking && ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0) {
        const int error = errno;
        result.status = error == EWOULDBLOCK ? OpenStatus::InUse : OpenStatus::Failed;
        result.reason = ErrnoText(error);
        return result;
    }
    result.status = OpenStatus::Opened;
    result.file = std::make_unique<PosixLogFile>(std::move(fd), path, !forTaking);
    return result;
}

} // namespace

OpenResult SystemFiles::OpenForTaking(const std::string& path)
{
    return OpenFile(path, true);
}

OpenResult SystemFiles::OpenForReading(const std::string& path)
{
    return OpenFile(path, false);
}

FileResult SystemFiles::MakeFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0777) == 0)
        return SyncFolder(FolderOf(folder));
    struct stat info {};
    if (errno == EEXIST && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return {};
    return FileResult::Failed(ErrnoText(errno == EEXIST ? ENOTDIR : errno));
}

// readdir has no filter of its own: every name is read, and filtered here.
FolderListing SystemFiles::ListFoldersNamed(const std::string& folder,
                                            const std::vector<std::string>& prefixes)
{
    return KeepFoldersNamed(ListFolder(folder), prefixes);
}

FolderListing SystemFiles::ListFolder(const std::string& folder)
{
    FolderListing listing;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        listing.status = errno == ENOENT ? ListStatus::Absent : ListStatus::Failed;
        if (listing.status == ListStatus::Failed)
            listing.reason = ErrnoText(errno);
        return listing;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        const bool isFolder =
            entry->d_type == DT_DIR ||
            (entry->d_type == DT_UNKNOWN && ::stat((folder + '/' + name).c_str(), &info) == 0 &&
             S_ISDIR(info.st_mode));
        (isFolder ? listing.folders : listing.names).push_back(name);
    }
    if (errno != 0) {
        listing.status = ListStatus::Failed;
        listing.reason = ErrnoText(errno);
    }
    ::closedir(dir);
    return listing;
}

FileResult SystemFiles::Remove(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return FileResult::Failed(ErrnoText(errno));
    return SyncFolder(FolderOf(path));
}

FileResult SystemFiles::Append(const std::string& path, const std::string& header,
                               const std::string& text)
{
    const UniqueFd fd(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0)
        return FileResult::Failed(ErrnoText(errno));
    const bool made = info.st_size == 0;
    // The file's last line, to see whether a power cut tore it.
    std::string end(static_cast<std::size_t>(std::min<off_t>(info.st_size, kTailBytes)), '\0');
    if (!end.empty() &&
        ::pread(fd.get(), end.data(), end.size(), info.st_size - static_cast<off_t>(end.size())) !=
            static_cast<ssize_t>(end.size()))
        return FileResult::Failed(ErrnoText(errno));
    const std::string all = made ? header + text : TornTailClosing(end) + text;
    for (std::size_t done = 0; done < all.size();) {
        const ssize_t wrote = ::write(fd.get(), all.data() + done, all.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return FileResult::Failed(ErrnoText(errno));
        done += static_cast<std::size_t>(wrote);
    }
    if (::fsync(fd.get()) != 0)
        return FileResult::Failed(ErrnoText(errno));
    return made ? SyncFolder(FolderOf(path)) : FileResult{};
}

MoveResult SystemFiles::Move(const std::string& from, const std::string& to, HolderWait)
{
    // No file is ever held against a move here: Linux lets a file be
    // renamed whoever has it open.
    // A move between two folders changes both: the old entry's removal must
    // be on the disk too, or a crash could leave the file under both names.
    FileResult renamed = RenameNoReplace(from, to);
    if (renamed) {
        FileResult synced = SyncFolders(from, to);
        return {synced ? MoveStatus::Moved : MoveStatus::Failed, std::move(synced.reason)};
    }
    const bool absent = errno == ENOENT && ::access(from.c_str(), F_OK) != 0;
    return {absent ? MoveStatus::Absent : MoveStatus::Failed, std::move(renamed.reason)};
}

UtcSeconds SystemFiles::NowUtc()
{
    return static_cast<UtcSeconds>(std::time(nullptr));
}

} // namespace plovik
