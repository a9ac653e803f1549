#pragma once
// One folder the transfer watches, shared by the transfer's own files.

#include "transfer.h"

namespace plovik {

// One watched folder: its outbox and its take. Its reports are its own: two
// folders failing by turns would otherwise show their boxes every tick.
struct Transfer::Folder {
    Folder(Files& files, WindowSide& window, const FolderPaths& folderPaths, std::uint64_t& takes)
        : paths(folderPaths), reports(window),
          outbox(files, window, reports, folderPaths.outbox, folderPaths.separator, takes),
          take(files, reports, outbox, folderPaths),
          sent(files, window, reports, folderPaths.sent, {folderPaths.backup})
    {
    }
    FolderPaths paths;
    Reports reports;
    Outbox outbox;
    Take take;
    SentRecord sent;
};

} // namespace plovik
