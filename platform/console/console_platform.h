#pragma once
// The engine's platform for programs without a window (the command-line
// tool, native tests, benchmarks): real files, and the user-interface
// operations as the caller configures them.

#include "platform.h"
#include "system_files.h"

#include <functional>
#include <string>

namespace plovik {

class ConsolePlatform : public Platform {
public:
    using MessageSink = std::function<void(const std::string& text)>;
    using SendSink =
        std::function<SendStatus(WindowRef receiver, unsigned long kind, const std::string& data)>;

    struct Options {
        FileAccess access = FileAccess::ReadAndHandOver;
        MessageSink messageBox;     // the text of every box; none: dropped
        CheckState noFreqCheck = 0; // what the check box answers
        SendSink send;              // none: every receiver is gone
    };

    explicit ConsolePlatform(Options options);

    OpenResult OpenLogFile(const std::string& path) override;
    OpenResult OpenOutboxFile(const std::string& path) override
    {
        return OpenSystemFile(path, FileAccess::ReadOnly);
    }
    bool MakeFolder(const std::string& folder, std::string& reason) override
    {
        return MakeSystemFolder(folder, reason);
    }
    FolderListing ListFolder(const std::string& folder) override
    {
        return ListSystemFolder(folder);
    }
    bool RenameFile(const std::string& from, const std::string& to, std::string& reason) override
    {
        return RenameSystemFile(from, to, reason);
    }
    bool RemoveFile(const std::string& path, std::string& reason) override
    {
        return RemoveSystemFile(path, reason);
    }
    MoveStatus MoveLogAside(const std::string& from, const std::string& to,
                            std::string& reason) override
    {
        return MoveSystemFile(from, to, reason);
    }
    bool DrainMessages() override { return true; }
    void ShowMessageBox(const std::string& text) override;
    CheckState GetNoFreqCheck() override { return m_options.noFreqCheck; }
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override;

private:
    Options m_options;
};

} // namespace plovik
