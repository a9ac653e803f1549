#include "fake_platform.h"

#include <algorithm>
#include <memory>

namespace plovik::testing {

namespace {

class FakeLogFile : public LogFile {
public:
    FakeLogFile(FakePlatform& platform, const std::string& path)
        : m_platform(platform), m_path(std::make_shared<std::string>(path))
    {
        ++m_platform.openFiles;
        m_platform.openPaths.push_back(m_path);
    }
    ~FakeLogFile() override { Close(); }

    ReadStatus Read(char* buffer, std::size_t capacity, std::size_t& count) override
    {
        const FakeFile& file = m_platform.files.at(*m_path);
        count = 0;
        if (m_offset >= file.failReadAt)
            return ReadStatus::Failed;
        const std::size_t limit = std::min(file.content.size(), file.failReadAt);
        if (m_offset >= limit)
            return m_offset >= file.content.size() ? ReadStatus::End : ReadStatus::Failed;
        count = std::min({capacity, m_platform.chunkSize, limit - m_offset});
        std::copy_n(file.content.data() + m_offset, count, buffer);
        m_offset += count;
        m_platform.bytesRead += count;
        return ReadStatus::Data;
    }

    bool HandOverAndClose(const std::string& target, std::string& reason) override
    {
        Close();
        FakeFile& file = m_platform.files.at(*m_path);
        if (!file.handOverError.empty()) {
            reason = file.handOverError;
            return false;
        }
        return m_platform.Rename(*m_path, target, reason) == MoveStatus::Moved;
    }

    std::string ErrorText() const override { return "Input/output error"; }

private:
    void Close()
    {
        if (m_bOpen)
            --m_platform.openFiles;
        m_bOpen = false;
    }

    FakePlatform& m_platform;
    std::shared_ptr<std::string> m_path; // follows the file when it is moved
    std::size_t m_offset = 0;
    bool m_bOpen = true;
};

} // namespace

OpenResult FakePlatform::OpenForTaking(const std::string& path)
{
    ++opens;
    OpenResult result;
    auto found = files.find(path);
    if (found == files.end()) {
        result.status = OpenStatus::Absent;
        result.reason = "No such file or directory";
        return result;
    }
    result.status = found->second.openStatus;
    result.reason = found->second.openReason;
    if (result.status == OpenStatus::Opened)
        result.file = std::make_unique<FakeLogFile>(*this, path);
    return result;
}

std::vector<std::string> FakePlatform::FilesIn(const std::string& folder) const
{
    std::vector<std::string> names;
    for (const auto& [path, file] : files) {
        const std::size_t at = path.find_last_of("/\\");
        if (at != std::string::npos && path.compare(0, at, folder) == 0 && at == folder.size())
            names.push_back(path.substr(at + 1));
    }
    return names;
}

bool FakePlatform::MakeFolder(const std::string& folder, std::string& reason)
{
    reason = makeFolderError;
    if (makeFolderError.empty() &&
        std::find(folders.begin(), folders.end(), folder) == folders.end())
        folders.push_back(folder);
    return makeFolderError.empty();
}

FolderListing FakePlatform::ListFolder(const std::string& folder)
{
    FolderListing listing;
    listing.ok = listError.empty();
    listing.reason = listError;
    if (listing.ok) {
        listing.names = FilesIn(folder);
        for (const std::string& made : folders)
            if (made.size() > folder.size() + 1 && made.compare(0, folder.size(), folder) == 0 &&
                (made[folder.size()] == '/' || made[folder.size()] == '\\') &&
                made.find_first_of("/\\", folder.size() + 1) == std::string::npos)
                listing.folders.push_back(made.substr(folder.size() + 1));
    }
    listing.exists = !listing.ok || !listing.names.empty() ||
                     std::find(folders.begin(), folders.end(), folder) != folders.end();
    return listing;
}

bool FakePlatform::Remove(const std::string& path, std::string& reason)
{
    const auto found = files.find(path);
    if (found == files.end())
        return true;
    if (!found->second.removeError.empty()) {
        reason = found->second.removeError;
        return false;
    }
    if (found->second.deletePending) {
        // As on Windows while another program still has the file open.
        found->second.openStatus = OpenStatus::Failed;
        found->second.openReason = "Access is denied.";
        return true;
    }
    files.erase(found);
    return true;
}

MoveStatus FakePlatform::Move(const std::string& from, const std::string& to, HolderWait wait,
                              std::string& reason)
{
    if (wait == HolderWait::None && !moveResults.empty()) {
        const MoveStatus status = moveResults.front();
        moveResults.erase(moveResults.begin());
        reason = status == MoveStatus::Moved ? "" : "The process cannot access the file.";
        if (status != MoveStatus::Moved)
            return status;
    }
    return Rename(from, to, reason);
}

MoveStatus FakePlatform::Rename(const std::string& from, const std::string& to, std::string& reason)
{
    const auto found = files.find(from);
    if (found == files.end()) {
        reason = "No such file or directory";
        return MoveStatus::Absent;
    }
    if (!found->second.renameError.empty()) {
        reason = found->second.renameError;
        return MoveStatus::Failed;
    }
    if (files.count(to) != 0) {
        reason = "File exists";
        return MoveStatus::Failed;
    }
    FakeFile moved = std::move(found->second);
    files.erase(found);
    files[to] = std::move(moved);
    // An open file stays open under its new name, as on every real system.
    for (const std::weak_ptr<std::string>& open : openPaths)
        if (const std::shared_ptr<std::string> path = open.lock(); path && *path == from)
            *path = to;
    return MoveStatus::Moved;
}

bool FakePlatform::Append(const std::string& path, const std::string& header,
                          const std::string& text, std::string& reason)
{
    FakeFile& file = files[path];
    if (!file.appendError.empty()) {
        reason = file.appendError;
        return false;
    }
    file.content += file.content.empty() ? header + text : TornTailClosing(file.content) + text;
    return true;
}

bool FakePlatform::DrainMessages()
{
    ++drains;
    return onDrain ? onDrain() : true;
}

void FakePlatform::ShowMessageBox(const std::string& text)
{
    boxes.push_back(text);
    if (onBox)
        onBox();
}

bool FakePlatform::BoxPending(const std::string& text) const
{
    return std::find(boxesPending.begin(), boxesPending.end(), text) != boxesPending.end();
}

CheckState FakePlatform::GetNoFreqCheck()
{
    if (checkAnswers.empty())
        return check;
    const CheckState answer = checkAnswers.front();
    checkAnswers.erase(checkAnswers.begin());
    return answer;
}

SendStatus FakePlatform::SendCopyData(WindowRef receiver, unsigned long kind,
                                      const std::string& data)
{
    SendStatus status = SendStatus::Delivered;
    if (!sendResults.empty()) {
        status = sendResults.front();
        sendResults.erase(sendResults.begin());
    }
    asked.push_back({receiver, kind, data, status});
    if (status == SendStatus::Delivered)
        sent.push_back(asked.back());
    return status;
}

} // namespace plovik::testing
