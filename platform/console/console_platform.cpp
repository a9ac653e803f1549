#include "console_platform.h"

#include <utility>

namespace plovik {

ConsolePlatform::ConsolePlatform(Options options) : m_options(std::move(options)) {}

OpenResult ConsolePlatform::OpenLogFile(const std::string& path)
{
    return OpenSystemFile(path, m_options.access);
}

void ConsolePlatform::ShowMessageBox(const std::string& text)
{
    if (m_options.messageBox)
        m_options.messageBox(text);
}

SendStatus ConsolePlatform::SendCopyData(WindowRef receiver, unsigned long kind,
                                         const std::string& data)
{
    if (!m_options.send)
        return SendStatus::ReceiverGone;
    return m_options.send(receiver, kind, data);
}

} // namespace plovik
