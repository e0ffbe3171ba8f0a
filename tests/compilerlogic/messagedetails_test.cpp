// What a message says beyond its file and line: its kind, its column, a file named by another
// path (looked up on disk), and the message line under a double click.
#include "compiler/errorlist.h"
#include "compiler/errorparser.h"
#include "compiler/messagefiles.h"
#include "compiler/messagemarks.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

ErrorEntry onlyEntry(const std::string &line, const char *form = "*#:%")
{
    const std::vector<ErrorEntry> entries = parseErrorMessages(line, form, "prog.c", {});
    return entries.size() == 1 ? entries[0] : ErrorEntry{};
}

// A resolver over a table of paths (as directory + "|" + file part), recording what it is asked.
struct TableResolver {
    std::map<std::string, int> table;
    std::vector<std::string> asked;
    FileResolver function()
    {
        return [this](std::string_view directory, std::string_view filePart) {
            const std::string key = std::string(directory) + "|" + std::string(filePart);
            asked.push_back(key);
            const auto found = table.find(key);
            return found == table.end() ? noEditedFile : found->second;
        };
    }
};

} // namespace

TEST(MessageDetails, KindAndColumnFollowTheLineNumber)
{
    struct Case {
        const char *line;
        const char *form;
        MessageKind kind;
        int column;
    };
    const Case cases[] = {
        {"prog.c:12:5: error: expected ';'", "*#:%", MessageKind::error, 5},
        {"prog.c:12: warning: unused variable 'error'", "*#:%", MessageKind::warning, 0},
        {"prog.c:3:1: note: declared here", "*#:%:", MessageKind::warning, 1},
        {"prog.c:3:7: Remark: loop vectorized", "*#:%", MessageKind::warning, 7},
        {"prog.c:3:2: fatal error: x.h: No such file", "*#:%", MessageKind::error, 2},
        {"prog.c:8: error: 'warning' undeclared", "*#:%", MessageKind::error, 0},
        {"prog.c:8: undefined reference to 'f'", "*#:%", MessageKind::error, 0},
        {"prog.c:8: errors_seen is a name, not a word", "*#:%", MessageKind::error, 0},
        {"prog.c:8: -Werror=unused: warning", "*#:%", MessageKind::warning, 0},
        {"prog.c(12,5) : warning C4101: 'x' unreferenced", "*#(%)", MessageKind::warning, 5},
        {"prog.c:12:99999: error: far right", "*#:%", MessageKind::error, 0},
        {"prog.c:12:: error", "*#:%", MessageKind::error, 0},
    };
    for (const Case &c : cases) {
        const ErrorEntry entry = onlyEntry(c.line, c.form);
        ASSERT_GT(entry.lineNumber, 0) << c.line;
        EXPECT_EQ(entry.kind(), c.kind) << c.line;
        EXPECT_EQ(entry.column(), c.column) << c.line;
    }
    // The packed entry keeps the largest column and both kinds.
    ErrorEntry entry;
    entry.setDetails(MessageKind::warning, largestColumn);
    EXPECT_EQ(entry.column(), largestColumn);
    EXPECT_EQ(entry.kind(), MessageKind::warning);
    EXPECT_EQ(sizeof(ErrorEntry), 16u);
}

TEST(MessageDetails, AFileOpenedWithDotSlashGetsItsEntries)
{
    const std::string output = "prog.c:3: error: a\n./prog.c:4: error: b\nutil.h:5: note: c\n";
    const std::vector<ErrorEntry> entries =
        parseErrorMessages(output, "*#:%", "./prog.c", {{2, "./util.h - edited", true}});
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].lineNumber, 3);
    EXPECT_EQ(entries[1].lineNumber, 4);
    EXPECT_EQ(entries[2].projectSlot, 2);
    // A name that is nothing but "./" stays nameless.
    EXPECT_TRUE(parseErrorMessages(":3: x\n", "*#:%", "./", {}).empty());
}

TEST(MessageDetails, OtherPathsGoThroughTheResolverWithMakesDirectory)
{
    TableResolver files;
    files.table = {{"|src/prog.c", mainDocumentSlot},
                   {"|/home/me/prog.c", mainDocumentSlot},
                   {"/home/me/lib|util.h", 4},
                   {"/home/me/lib/sub|../util.h", 4}};
    const std::string output = "prog.c:1: error: the exact name, not asked\n"
                               "src/prog.c:12:5: error: from the folder above\n"
                               "/home/me/prog.c:13: warning: absolute\n"
                               "In file included from prog.c:3:\n"
                               "other/prog.c:9: error: another file of that name\n"
                               "make[1]: Entering directory '/home/me/lib'\n"
                               "util.h:7: note: in make's directory\n"
                               "make[2]: Entering directory 'sub'\n"
                               "../util.h:8: note: nested, relative\n"
                               "make[2]: Leaving directory 'sub'\n"
                               "make[1]: Leaving directory '/home/me/lib'\n"
                               "util.h:9: note: back in the compile's directory\n";
    const std::vector<ErrorEntry> entries = parseErrorMessages(output, "*#:%", "prog.c", {}, files.function());
    std::vector<std::pair<int, int>> found;
    for (const ErrorEntry &entry : entries)
        found.emplace_back(entry.lineNumber, entry.projectSlot);
    EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{1, -1}, {12, -1}, {13, -1}, {7, 4}, {8, 4}}));
    EXPECT_EQ(entries[1].column(), 5);
    EXPECT_EQ(std::count(files.asked.begin(), files.asked.end(), "|prog.c"), 0);
    EXPECT_EQ(std::count(files.asked.begin(), files.asked.end(), "|In file included from prog.c"), 1);
    EXPECT_EQ(std::count(files.asked.begin(), files.asked.end(), "|util.h"), 1);

    // A line that would be no message whatever file it named is not looked up on disk: gcc quotes
    // source lines, each different.
    TableResolver quiet;
    parseErrorMessages("prog.c: In function 'main':\n    4 |   x = a ? b : c;\nsrc/prog.c:7: error: x\n", "*#:%",
                       "prog.c", {}, quiet.function());
    EXPECT_EQ(quiet.asked, std::vector<std::string>{"|src/prog.c"});

    // Arriving in pieces, the directories are followed the same way.
    IncrementalErrorParser parser("*#:%", "prog.c", {}, files.function());
    for (std::size_t arrived = 1; arrived <= output.size(); arrived += 7)
        parser.parseArrived(std::string_view(output).substr(0, arrived));
    const ErrorEntries incremental = parser.finish(output);
    EXPECT_EQ(std::vector<ErrorEntry>(incremental.begin(), incremental.end()), entries);
}

TEST(MessageDetails, TheResolverComparesFilesOnDisk)
{
    TempDir top;
    ASSERT_EQ(mkdir(top.file("src").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(top.file("other").c_str(), 0755), 0);
    writeFile(top.file("src/prog.c"), "int x;\n");
    writeFile(top.file("other/prog.c"), "int y;\n");
    writeFile(top.file("src/util.h"), "int z;\n");
    ASSERT_EQ(link(top.file("src/prog.c").c_str(), top.file("hardlink.c").c_str()), 0);

    EditedFileResolver files(top.file("src"), {{mainDocumentSlot, top.file("src/prog.c")}, {3, top.file("src/util.h")}});
    EXPECT_EQ(files.resolve("", "prog.c"), mainDocumentSlot);
    EXPECT_EQ(files.resolve("", "./prog.c"), mainDocumentSlot);
    EXPECT_EQ(files.resolve("", "../src/prog.c"), mainDocumentSlot);
    EXPECT_EQ(files.resolve("", top.file("src/prog.c")), mainDocumentSlot);
    EXPECT_EQ(files.resolve(top.path(), "src/prog.c"), mainDocumentSlot);
    EXPECT_EQ(files.resolve("..", "src/util.h"), 3);
    EXPECT_EQ(files.resolve("", "../hardlink.c"), mainDocumentSlot); // the same file by another name
    EXPECT_EQ(files.resolve("", "../other/prog.c"), noEditedFile);
    EXPECT_EQ(files.resolve("", "missing.c"), noEditedFile);
    EXPECT_EQ(files.resolve("", "../src"), noEditedFile); // a directory is no file

    // Saving replaces the file (a new inode): the files on disk are no longer the same.
    EXPECT_TRUE(files.sameAs(EditedFileResolver(top.file("src"), {{mainDocumentSlot, top.file("src/prog.c")},
                                                                  {3, top.file("src/util.h")}})));
    writeFile(top.file("src/new.c"), "int x;\n");
    ASSERT_EQ(rename(top.file("src/new.c").c_str(), top.file("src/prog.c").c_str()), 0);
    EXPECT_FALSE(files.sameAs(EditedFileResolver(top.file("src"), {{mainDocumentSlot, top.file("src/prog.c")},
                                                                   {3, top.file("src/util.h")}})));
}

TEST(MessageDetails, ADoubleClickFindsTheMessageLineUnderIt)
{
    ErrorList list;
    // Lines end at 10, 20, 29, 40 and 50.
    const std::string output = "prog.c:3 x\nprog.c:7 \nnothing \nprog.c:9 x\nprog.c:11\n";
    list.rebuild(std::vector<ErrorEntry>{{0, 3, -1}, {11, 7, -1}, {30, 9, 2}, {41, 11, -1}});
    EXPECT_EQ(list.indexAt(0, output), 0);
    EXPECT_EQ(list.indexAt(10, output), 0); // its line end
    EXPECT_EQ(list.indexAt(11, output), 1);
    EXPECT_EQ(list.indexAt(25, output), -1); // a line that is no message
    EXPECT_EQ(list.indexAt(50, output), 3);
    EXPECT_EQ(list.indexAt(51, output), -1);

    ErrorStep step = list.select(2);
    EXPECT_EQ(step.message, "--- Error line 9 ---");
    EXPECT_EQ(step.shown->projectSlot, 2);
    EXPECT_EQ(list.buttons(), (NavigationButtons{true, true, true, true}));
    EXPECT_EQ(list.next().shown->lineNumber, 11);
    list.select(0);
    EXPECT_EQ(list.previous().message, "--- First message ---");
    EXPECT_EQ(list.select(4).shown, nullptr);
    EXPECT_EQ(list.errorCursor(), 0);
}

TEST(MessageDetails, AColumnLeadsToTheTokenThere)
{
    struct Case {
        const char *line;
        int column;
        const char *token; // nullptr: none
    };
    const Case cases[] = {
        {"    int x = value;", 13, "value"},
        {"\tint x = value;", 17, "value"},          // a tab reaches column 9
        {"\tint x = value;", 5, "int"},             // inside the tab's room: what follows it
        {"  \xE2\x80\x98y\xE2\x80\x99 = 1;", 3, "\xE2\x80\x98y\xE2\x80\x99"}, // UTF-8 word bytes
        {"a = b;", 3, "="},
        {"a = 42;", 5, "42"},
        {"a;", 3, nullptr},
        {"", 1, nullptr},
    };
    for (const Case &c : cases) {
        const std::string line = c.line;
        long first = -1, end = -1;
        const bool found = columnToken(line.data(), static_cast<long>(line.size()), c.column, &first, &end);
        ASSERT_EQ(found, c.token != nullptr) << c.line;
        if (found) {
            EXPECT_EQ(line.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first)), c.token)
                << c.line;
        }
    }
}

TEST(MessageDetails, TheSameNameInTwoOfMakesDirectoriesIsTwoFiles)
{
    // The main file was opened as b/main.c; make builds a/ and then b/, each with a main.c.
    TempDir top;
    ASSERT_EQ(mkdir(top.file("a").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(top.file("b").c_str(), 0755), 0);
    writeFile(top.file("a/main.c"), "int a;\n");
    writeFile(top.file("b/main.c"), "int b;\n");
    const std::vector<EditedFile> edited = {{mainDocumentSlot, top.file("b/main.c")}};

    EditedFileResolver files(top.path(), edited);
    EXPECT_EQ(files.resolve(top.file("a"), "main.c"), noEditedFile);
    EXPECT_EQ(files.resolve(top.file("b"), "main.c"), mainDocumentSlot);
    EXPECT_EQ(files.resolve("a", "main.c"), noEditedFile);
    EXPECT_EQ(files.resolve("b", "main.c"), mainDocumentSlot);

    const std::string output = "make[1]: Entering directory '" + top.file("a") + "'\n"
                               "main.c:3:5: error: in a\n"
                               "make[1]: Leaving directory '" + top.file("a") + "'\n"
                               "make[1]: Entering directory '" + top.file("b") + "'\n"
                               "main.c:4:5: error: in b\n"
                               "make[1]: Leaving directory '" + top.file("b") + "'\n";
    auto resolver = std::make_shared<EditedFileResolver>(top.path(), edited);
    const std::vector<ErrorEntry> entries =
        parseErrorMessages(output, "*#:%", "b/main.c", {}, [resolver](std::string_view directory, std::string_view part) {
            return resolver->resolve(directory, part);
        });
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].lineNumber, 4);
    EXPECT_EQ(entries[0].projectSlot, mainDocumentSlot);
}
