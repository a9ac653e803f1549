#pragma once
// The window side of programs without a window (the command-line tool,
// native tests, benchmarks): nothing to drain, and boxes, the check box and
// the send as the caller configures them.

#include "window_side.h"

#include <functional>
#include <string>

namespace plovik {

class ConsoleWindowSide : public WindowSide {
public:
    using MessageSink = std::function<void(const std::string& text)>;
    using SendSink =
        std::function<SendStatus(WindowRef receiver, unsigned long kind, const std::string& data)>;

    struct Options {
        MessageSink messageBox;     // the text of every box; none: dropped
        CheckState noFreqCheck = 0; // what the check box answers
        SendSink send;              // none: every receiver is gone
    };

    explicit ConsoleWindowSide(Options options);

    bool DrainMessages() override { return true; }
    void ShowMessageBox(const std::string& text) override;
    CheckState GetNoFreqCheck() override { return m_options.noFreqCheck; }
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override;

private:
    Options m_options;
};

} // namespace plovik
