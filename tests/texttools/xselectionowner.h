#pragma once
// Another X client holding the PRIMARY selection with the given bytes: it answers text requests
// with them and records the name of every target it is asked for (so a test sees the delete
// request arrive). It runs in a thread of its own on a connection of its own, so that the
// program under test can wait for its answers.
#include <memory>
#include <string>
#include <vector>

class RecordingSelectionOwner {
public:
    explicit RecordingSelectionOwner(std::string bytes);
    ~RecordingSelectionOwner();
    RecordingSelectionOwner(const RecordingSelectionOwner &) = delete;
    RecordingSelectionOwner &operator=(const RecordingSelectionOwner &) = delete;

    // The names of the targets asked for, in order.
    std::vector<std::string> targets();

private:
    struct Server;
    std::unique_ptr<Server> server_;
};
