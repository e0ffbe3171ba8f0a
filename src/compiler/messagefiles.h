#pragma once
// Which edited file a compiler message names when it names it by another path than the file's
// own name (src/prog.c, /home/me/prog.c, ../prog.c): the path is read from the directory the
// compile ran in (or from the directory make said it entered) and compared on disk, by device
// and inode, with the files of the main pane and the project windows. No widgets.

#include "compiler/errorparser.h"

#include <map>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &other) const
    {
        return exists == other.exists && (!exists || (device == other.device && inode == other.inode));
    }
};

FileIdentity identifyFile(const std::string &path);

// An edited file: its slot (mainDocumentSlot or a project window's) and its name, as the program
// opened it (relative to the program's working directory, or absolute).
struct EditedFile {
    int slot = mainDocumentSlot;
    std::string name;
};

class EditedFileResolver {
public:
    // The files are identified on disk now; `compileDirectory` is where the compile ran.
    EditedFileResolver(std::string compileDirectory, const std::vector<EditedFile> &files);

    // A FileResolver (errorparser.h): the first edited file in the given order that is the file
    // `filePart` names, or noEditedFile. Each path is looked up on disk once.
    int resolve(std::string_view directory, std::string_view filePart);
    // Whether both were made for the same directory and the same files on disk.
    bool sameAs(const EditedFileResolver &other) const;

private:
    int lookUp(std::string_view directory, std::string_view filePart);

    std::string compileDirectory_;
    std::vector<std::pair<int, FileIdentity>> files_;
    std::map<std::string, int, std::less<>> known_;
    std::size_t knownBytes_ = 0; // of the paths in known_
    bool lastAsked_ = false;
    std::string lastDirectory_, lastFilePart_;
    int lastAnswer_ = noEditedFile;
};
