#include "unsent_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace plovik {

namespace {

std::string SystemReason()
{
    return errno ? std::strerror(errno) : "unknown error";
}

} // namespace

bool SaveUnsent(const std::string& path, const std::deque<std::string>& messages,
                std::string& reason)
{
    if (messages.empty())
        return true;
    errno = 0;
    std::ofstream file(path, std::ios::binary | std::ios::app);
    for (const std::string& message : messages)
        file << message << '\n';
    file.close();
    if (!file) {
        reason = SystemReason();
        return false;
    }
    return true;
}

LoadedUnsent LoadUnsent(const std::string& path)
{
    LoadedUnsent loaded;
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (errno != ENOENT) {
            loaded.ok = false;
            loaded.reason = SystemReason();
        }
        return loaded;
    }
    std::deque<std::string> messages;
    for (std::string line; std::getline(file, line);)
        messages.push_back(std::move(line));
    if (file.bad()) {
        loaded.ok = false;
        loaded.reason = SystemReason();
        return loaded;
    }
    file.close();
    errno = 0;
    if (std::remove(path.c_str()) != 0) {
        loaded.ok = false;
        loaded.reason = SystemReason();
        return loaded;
    }
    loaded.messages = std::move(messages);
    return loaded;
}

} // namespace plovik
