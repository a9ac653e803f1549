#include "console_window_side.h"

#include <utility>

namespace plovik {

ConsoleWindowSide::ConsoleWindowSide(Options options) : m_options(std::move(options)) {}

void ConsoleWindowSide::ShowMessageBox(const std::string& text)
{
    if (m_options.messageBox)
        m_options.messageBox(text);
}

SendStatus ConsoleWindowSide::SendCopyData(WindowRef receiver, unsigned long kind,
                                           const std::string& data)
{
    if (!m_options.send)
        return SendStatus::ReceiverGone;
    return m_options.send(receiver, kind, data);
}

} // namespace plovik
