#include "system_files.h"
#include "unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace plovik {

namespace {

std::string ErrnoText(int error)
{
    return std::strerror(error);
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

    bool DeleteAndClose(std::string& reason) override
    {
        // Unlink while still holding the file, then close.
        bool deleted = true;
        if (!m_bKeepFile && ::unlink(m_path.c_str()) != 0 && errno != ENOENT) {
            reason = ErrnoText(errno);
            deleted = false;
        }
        m_fd.reset();
        return deleted;
    }

    std::string ErrorText() const override { return ErrnoText(m_lastError); }

private:
    UniqueFd m_fd;
    std::string m_path;
    bool m_bKeepFile;
    int m_lastError = 0;
};

} // namespace

OpenResult OpenSystemLogFile(const std::string& path, FileAccess access)
{
    const bool keepFile = access == FileAccess::ReadOnly;
    OpenResult result;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        const int error = errno;
        result.status = error == ENOENT ? OpenStatus::Absent : OpenStatus::Failed;
        result.reason = ErrnoText(error);
        return result;
    }
    // Writers that take the advisory lock are kept out while we read; a
    // writer that holds it makes the file "in use". Read-only access takes
    // no lock at all, so it never gets in anybody's way.
    if (!keepFile && ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0) {
        const int error = errno;
        result.status = error == EWOULDBLOCK ? OpenStatus::InUse : OpenStatus::Failed;
        result.reason = ErrnoText(error);
        return result;
    }
    result.status = OpenStatus::Opened;
    result.file = std::make_unique<PosixLogFile>(std::move(fd), path, keepFile);
    return result;
}

} // namespace plovik
