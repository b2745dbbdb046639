#pragma once
// What the processing cycle needs of the FTP side: whether a server connection was opened,
// and the upload of the pages (and PGN files) that one cycle queued.

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// The files one cycle queued for upload, by file name.
struct UploadQueue {
    std::vector<std::string> html;                // colUploadHtml: page names
    std::optional<std::vector<std::string>> pgn;  // colUploadPgn: exists only with bPgnUpload
};

class Uploader {
public:
    virtual ~Uploader() = default;
    // True once a connection to a server has been opened (the component holds an address).
    virtual bool hasServer() const = 0;
    // Sends every queued file; consumes the queue. Files that fail may be queued again for
    // the next cycle by the implementation.
    virtual void Upload(UploadQueue& queue) = 0;
    // True while files of a failed upload wait to be sent again, so the cycle may upload
    // even when nothing changed.
    virtual bool hasPendingRetries() const { return false; }
};

}  // namespace korvane
