#include "documents/projectfile.h"
#include "documents/projectwindows.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

ProjectFileList read(const std::string &bytes, int maxWindows = 16)
{
    return readProjectFile(bytes.data(), bytes.size(), maxWindows);
}

TEST(ProjectFile, FirstLineForTheMainWindowFurtherLinesForWindows)
{
    ProjectFileList list = read("main.c\n");
    EXPECT_TRUE(list.hasMainFile);
    EXPECT_EQ(list.mainFile, "main.c");
    EXPECT_TRUE(list.windowFiles.empty());

    list = read("main.c\nutil.c\nsub dir/util.h\n");
    EXPECT_EQ(list.mainFile, "main.c");
    EXPECT_EQ(list.windowFiles, (Names{"util.c", "sub dir/util.h"}));

    // Names exactly as written: blanks kept, no comments, empty lines are names too.
    list = read(" a.c \n# b\n\nc\n");
    EXPECT_EQ(list.mainFile, " a.c ");
    EXPECT_EQ(list.windowFiles, (Names{"# b", "", "c"}));

    // A zero byte ends a line as a newline does; CR is part of the name.
    list = read(std::string("m.c\0a.c\r\nb.c\n", 13));
    EXPECT_EQ(list.mainFile, "m.c");
    EXPECT_EQ(list.windowFiles, (Names{"a.c\r", "b.c"}));
}

TEST(ProjectFile, ALineTheFileEndsBeforeTerminatingIsNotUsed)
{
    EXPECT_EQ(read("main.c\nutil.c\nutil.h").windowFiles, Names{"util.c"});
    EXPECT_FALSE(read("main.c").hasMainFile);
    EXPECT_FALSE(read("").hasMainFile);
    EXPECT_EQ(read("").mainFile, "");
    EXPECT_FALSE(readProjectFile(nullptr, 0, 4).hasMainFile);
}

TEST(ProjectFile, WindowsAreLimitedByTheSettingAndTheTable)
{
    std::string six = "main.c\n";
    for (int i = 1; i <= 6; ++i)
        six += "f" + std::to_string(i) + ".c\n";
    EXPECT_EQ(read(six, 3).windowFiles, (Names{"f1.c", "f2.c", "f3.c"}));
    EXPECT_TRUE(read(six, 0).windowFiles.empty());
    EXPECT_TRUE(read(six, -5).windowFiles.empty());

    std::string many = "main.c\n";
    for (int i = 0; i < 300; ++i)
        many += "f" + std::to_string(i) + "\n";
    const ProjectFileList list = read(many, 1000);
    ASSERT_EQ(list.windowFiles.size(), static_cast<size_t>(projectWindowSlots));
    EXPECT_EQ(list.windowFiles.back(), "f255");
}

TEST(ProjectFile, ALineLongerThan255CharactersIsNeverCut)
{
    const std::string longest(255, 'x'), tooLong(256, 'y');
    ProjectFileList list = read("main.c\n" + longest + "\n" + tooLong + "\nafter.c\n");
    EXPECT_EQ(list.windowFiles, Names{longest}); // the long line ends the list
    list = read(tooLong + "\nutil.c\n");
    EXPECT_FALSE(list.hasMainFile); // a first line too long: the project file has no effect
    EXPECT_TRUE(list.windowFiles.empty());
    EXPECT_TRUE(read(longest + "\n").hasMainFile);
}

TEST(ProjectFile, EverythingThatCanMatterFitsTheReadLimit)
{
    // Line 1 and 256 window lines, every one at its longest.
    std::string full;
    for (int i = 0; i <= projectWindowSlots; ++i)
        full += std::string(longestProjectLine, static_cast<char>('a' + i % 26)) + "\n";
    ASSERT_EQ(full.size(), projectFileReadLimit);
    EXPECT_EQ(read(full, 256).windowFiles.size(), 256u);
}

TEST(ProjectWindowTable, TitlesAndSlots)
{
    ProjectWindow window;
    window.fileName = "util.h";
    EXPECT_EQ(projectWindowTitle(window), "util.h");
    window.edited = true;
    EXPECT_EQ(projectWindowTitle(window), "util.h - edited");

    EXPECT_FALSE(anyProjectWindowOpen());
    projectWindowTable[255] = &window;
    EXPECT_TRUE(anyProjectWindowOpen());
    EXPECT_EQ(projectWindow(255), &window);
    EXPECT_EQ(projectWindow(256), nullptr);
    EXPECT_EQ(projectWindow(-1), nullptr);
    projectWindowTable[255] = nullptr;
    EXPECT_FALSE(anyProjectWindowOpen());
}

} // namespace
