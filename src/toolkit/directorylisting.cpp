#include "toolkit/directorylisting.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

// Sorts case-insensitively by the name as shown, ties by bytes; each name is decoded once.
static void sortNames(std::vector<std::string> &names)
{
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string &name : names)
        keyed.emplace_back(QFile::decodeName(QByteArray::fromStdString(name)), std::move(name));
    std::sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        const int order = a.first.compare(b.first, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[i].second);
}

DirectoryListing readDirectory(const std::string &path, bool showHidden)
{
    DirectoryListing listing;
    DIR *dir = opendir(path.c_str());
    if (!dir) {
        listing.error = errno ? errno : EIO;
        return listing;
    }
    const int fd = dirfd(dir);
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (name[0] == '.' && !showHidden)
            continue;
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info;
            isDirectory = fstatat(fd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        (isDirectory ? listing.directories : listing.files).push_back(name);
    }
    closedir(dir);
    sortNames(listing.directories);
    sortNames(listing.files);
    return listing;
}

std::string normalPath(const std::string &path)
{
    std::string full = path;
    if (full.empty() || full[0] != '/') {
        std::string cwd(4096, '\0');
        while (!getcwd(&cwd[0], cwd.size())) {
            if (errno != ERANGE)
                return "/";
            cwd.resize(cwd.size() * 2);
        }
        cwd.resize(cwd.find('\0'));
        full = cwd + "/" + full;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string &part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string parentPath(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string childPath(const std::string &directory, const std::string &name)
{
    return directory == "/" ? "/" + name : directory + "/" + name;
}
