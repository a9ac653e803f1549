#include "outbox_reading.h"

namespace plovik {

OutboxReading::Pull OutboxReading::PullOne()
{
    Read read;
    read.index = pulled;
    if (contacts) {
        switch (contacts->Next(read.record, &read.tags)) {
        case ContactStream::Status::Contact:
            break;
        case ContactStream::Status::End:
        case ContactStream::Status::Empty:
            ended = Ended::End;
            return Pull::Done;
        case ContactStream::Status::Failed:
            ended = Ended::Bad;
            reason = contacts->Reason();
            return Pull::Done;
        case ContactStream::Status::Interrupted:
            return Pull::Stopped;
        }
    } else if (!NextMessage(read.message)) {
        return Pull::Done;
    }
    ++pulled;
    ahead.push_back(std::move(read));
    return Pull::Got;
}

bool OutboxReading::NextMessage(std::string& message)
{
    std::string_view line;
    for (;;) {
        switch (lines->ReadLine(line)) {
        case LineReader::Status::Line:
            if (line.empty())
                continue;
            message = std::string(line);
            return true;
        case LineReader::Status::End:
            ended = Ended::End;
            return false;
        case LineReader::Status::Failed:
            ended = Ended::Bad;
            reason = file->ErrorText();
            return false;
        }
    }
}

} // namespace plovik
