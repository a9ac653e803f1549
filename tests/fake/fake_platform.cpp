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

    FileResult HandOverAndClose(const std::string& target) override
    {
        Close();
        FakeFile& file = m_platform.files.at(*m_path);
        if (!file.handOverError.empty())
            return FileResult::Failed(file.handOverError);
        MoveResult moved = m_platform.Rename(*m_path, target);
        if (moved.status != MoveStatus::Moved)
            return FileResult::Failed(std::move(moved.reason));
        return {};
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

FileResult FakePlatform::MakeFolder(const std::string& folder)
{
    if (!makeFolderError.empty())
        return FileResult::Failed(makeFolderError);
    if (std::find(folders.begin(), folders.end(), folder) == folders.end())
        folders.push_back(folder);
    return {};
}

FolderListing FakePlatform::ListFolder(const std::string& folder)
{
    FolderListing listing;
    if (!listError.empty()) {
        listing.status = ListStatus::Failed;
        listing.reason = listError;
    } else {
        listing.names = FilesIn(folder);
        for (const std::string& made : folders)
            if (made.size() > folder.size() + 1 && made.compare(0, folder.size(), folder) == 0 &&
                (made[folder.size()] == '/' || made[folder.size()] == '\\') &&
                made.find_first_of("/\\", folder.size() + 1) == std::string::npos)
                listing.folders.push_back(made.substr(folder.size() + 1));
    }
    if (listing.status == ListStatus::Listed && listing.names.empty() &&
        std::find(folders.begin(), folders.end(), folder) == folders.end())
        listing.status = ListStatus::Absent;
    return listing;
}

FileResult FakePlatform::Remove(const std::string& path)
{
    const auto found = files.find(path);
    if (found == files.end())
        return {};
    if (!found->second.removeError.empty())
        return FileResult::Failed(found->second.removeError);
    if (found->second.deletePending) {
        // As on Windows while another program still has the file open.
        found->second.openStatus = OpenStatus::Failed;
        found->second.openReason = "Access is denied.";
        return {};
    }
    files.erase(found);
    return {};
}

MoveResult FakePlatform::Move(const std::string& from, const std::string& to, HolderWait wait)
{
    if (wait == HolderWait::None && !moveResults.empty()) {
        const MoveStatus status = moveResults.front();
        moveResults.erase(moveResults.begin());
        if (status != MoveStatus::Moved)
            return {status, "The process cannot access the file."};
    }
    return Rename(from, to);
}

MoveResult FakePlatform::Rename(const std::string& from, const std::string& to)
{
    const auto found = files.find(from);
    if (found == files.end())
        return {MoveStatus::Absent, "No such file or directory"};
    if (!found->second.renameError.empty())
        return {MoveStatus::Failed, found->second.renameError};
    if (files.count(to) != 0)
        return {MoveStatus::Failed, "File exists"};
    FakeFile moved = std::move(found->second);
    files.erase(found);
    files[to] = std::move(moved);
    // An open file stays open under its new name, as on every real system.
    for (const std::weak_ptr<std::string>& open : openPaths)
        if (const std::shared_ptr<std::string> path = open.lock(); path && *path == from)
            *path = to;
    return {MoveStatus::Moved, ""};
}

FileResult FakePlatform::Append(const std::string& path, const std::string& header,
                                const std::string& text)
{
    FakeFile& file = files[path];
    if (!file.appendError.empty())
        return FileResult::Failed(file.appendError);
    file.content += file.content.empty() ? header + text : TornTailClosing(file.content) + text;
    return {};
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
