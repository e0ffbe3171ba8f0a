// Runs a fuzz target once on each file given, or on each file in each folder given: the seed
// corpus and the inputs that fuzzing once found, replayed in every build as a test.
#include "fuzzcheck.h"

#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

namespace {

int replayed = 0;

void replay(const std::string &path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
        std::exit(2);
    }
    if (S_ISDIR(st.st_mode)) {
        std::vector<std::string> names;
        DIR *dir = opendir(path.c_str());
        while (dirent *entry = dir ? readdir(dir) : nullptr)
            if (entry->d_name[0] != '.')
                names.push_back(path + "/" + entry->d_name);
        if (dir)
            closedir(dir);
        for (const std::string &name : names)
            replay(name);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    ++replayed;
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    for (int i = 1; i < argc; ++i)
        replay(argv[i]);
    std::printf("replayed %d inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
