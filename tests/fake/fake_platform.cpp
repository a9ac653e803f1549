#include "fake_platform.h"

#include <algorithm>
#include <memory>

namespace plovik::testing {

namespace {

class FakeLogFile : public LogFile {
public:
    FakeLogFile(FakePlatform& platform, std::string path)
        : m_platform(platform), m_path(std::move(path))
    {
        ++m_platform.openFiles;
    }
    ~FakeLogFile() override { Close(); }

    ReadStatus Read(char* buffer, std::size_t capacity, std::size_t& count) override
    {
        const FakeFile& file = m_platform.files.at(m_path);
        count = 0;
        if (m_offset >= file.failReadAt)
            return ReadStatus::Failed;
        const std::size_t limit = std::min(file.content.size(), file.failReadAt);
        if (m_offset >= limit)
            return m_offset >= file.content.size() ? ReadStatus::End : ReadStatus::Failed;
        count = std::min({capacity, m_platform.chunkSize, limit - m_offset});
        std::copy_n(file.content.data() + m_offset, count, buffer);
        m_offset += count;
        return ReadStatus::Data;
    }

    bool DeleteAndClose(std::string& reason) override
    {
        const std::string error = m_platform.files.at(m_path).deleteError;
        Close();
        if (!error.empty()) {
            reason = error;
            return false;
        }
        m_platform.files.erase(m_path);
        return true;
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
    std::string m_path;
    std::size_t m_offset = 0;
    bool m_bOpen = true;
};

} // namespace

OpenResult FakePlatform::OpenLogFile(const std::string& path)
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
    ++sendAttempts;
    SendStatus status = SendStatus::Delivered;
    if (!sendResults.empty()) {
        status = sendResults.front();
        sendResults.erase(sendResults.begin());
    }
    if (status == SendStatus::Delivered)
        sent.push_back({receiver, kind, data});
    return status;
}

} // namespace plovik::testing
