#include "compiler/messagefiles.h"

#include <sys/stat.h>

namespace {

// Paths looked up in one parse are remembered up to this many bytes of them; then the memory
// starts afresh. (Counted in bytes: an output of long lines would make each path kilobytes.)
constexpr std::size_t rememberedBytes = 4 << 20;

bool isAbsolute(std::string_view path)
{
    return !path.empty() && path[0] == '/';
}

} // namespace

FileIdentity identifyFile(const std::string &path)
{
    FileIdentity identity;
    struct stat status;
    if (!path.empty() && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        identity.exists = true;
        identity.device = status.st_dev;
        identity.inode = status.st_ino;
    }
    return identity;
}

EditedFileResolver::EditedFileResolver(std::string compileDirectory, const std::vector<EditedFile> &files)
    : compileDirectory_(std::move(compileDirectory))
{
    for (const EditedFile &file : files)
        files_.emplace_back(file.slot, identifyFile(file.name));
}

int EditedFileResolver::resolve(std::string_view directory, std::string_view filePart)
{
    // Messages about one file come one after the other.
    if (lastAsked_ && directory == lastDirectory_ && filePart == lastFilePart_)
        return lastAnswer_;
    lastAsked_ = true;
    lastDirectory_ = directory;
    lastFilePart_ = filePart;
    lastAnswer_ = lookUp(directory, filePart);
    return lastAnswer_;
}

int EditedFileResolver::lookUp(std::string_view directory, std::string_view filePart)
{
    std::string path;
    if (!isAbsolute(filePart)) {
        if (isAbsolute(directory)) {
            path = directory;
        } else {
            path = compileDirectory_;
            if (!directory.empty())
                path += (path.empty() ? "" : "/") + std::string(directory);
        }
        if (!path.empty())
            path += '/';
    }
    path += filePart;

    const auto known = known_.find(path);
    if (known != known_.end())
        return known->second;
    int slot = noEditedFile;
    const FileIdentity identity = identifyFile(path);
    if (identity.exists) {
        for (const auto &[editedSlot, editedIdentity] : files_) {
            if (editedIdentity == identity) {
                slot = editedSlot;
                break;
            }
        }
    }
    if (knownBytes_ + path.size() > rememberedBytes) {
        known_.clear();
        knownBytes_ = 0;
    }
    knownBytes_ += path.size();
    known_.emplace(std::move(path), slot);
    return slot;
}

bool EditedFileResolver::sameAs(const EditedFileResolver &other) const
{
    return compileDirectory_ == other.compileDirectory_ && files_ == other.files_;
}
