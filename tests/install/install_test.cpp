// Installing tsl as a desktop program: the files a desktop and a packager expect, each checked
// with the tool that the desktop or Debian uses to read it.
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// Runs a shell command: its standard output and standard error, and its exit status.
ProcessResult shell(const std::string &command)
{
    ProcessResult result;
    FILE *out = popen((command + " 2>&1").c_str(), "r");
    for (int c; out && (c = fgetc(out)) != EOF;)
        result.output += static_cast<char>(c);
    const int status = out ? pclose(out) : -1;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool isFile(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Width and height from a PNG file's header.
std::pair<int, int> pngSize(const std::string &path)
{
    const std::string bytes = readFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    const auto word = [&](size_t at) {
        int value = 0;
        for (size_t i = at; i < at + 4; ++i)
            value = value * 256 + static_cast<unsigned char>(bytes[i]);
        return value;
    };
    return {word(16), word(20)};
}

const char *const installedFiles[] = {
    "bin/tsl",
    "share/tsl/tslrc",
    "share/applications/tsl.desktop",
    "share/icons/hicolor/48x48/apps/tsl.png",
    "share/icons/hicolor/256x256/apps/tsl.png",
    "share/icons/hicolor/scalable/apps/tsl.svg",
    "share/man/man1/tsl.1",
    "share/doc/tsl/README.md",
    "share/doc/tsl/LICENSE",
};

class Installed : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix = new TempDir;
        const ProcessResult r = shell("'" TSL_CMAKE_COMMAND "' --install '" TSL_BUILD_DIR "' --prefix '" +
                                      prefix->path() + "'");
        ASSERT_EQ(r.exitStatus, 0) << r.output;
    }
    static void TearDownTestSuite()
    {
        delete prefix;
        prefix = nullptr;
    }
    static std::string file(const std::string &relative) { return prefix->file(relative); }
    static inline TempDir *prefix = nullptr;
};

TEST_F(Installed, EveryFileIsInPlace)
{
    for (const char *relative : installedFiles)
        EXPECT_TRUE(isFile(file(relative))) << relative;
    EXPECT_EQ(readFile(file("share/tsl/tslrc")), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    struct stat st;
    ASSERT_EQ(stat(file("bin/tsl").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXOTH);

    // A staging folder (DESTDIR) is honoured together with the prefix.
    TempDir stage;
    const ProcessResult r = shell("DESTDIR='" + stage.path() + "' '" TSL_CMAKE_COMMAND "' --install '" TSL_BUILD_DIR
                                  "' --prefix /opt/tsl");
    ASSERT_EQ(r.exitStatus, 0) << r.output;
    for (const char *relative : installedFiles)
        EXPECT_TRUE(isFile(stage.path() + "/opt/tsl/" + relative)) << relative;
}

TEST_F(Installed, DesktopEntryIsValidAndOpensSourceFiles)
{
    const std::string entry = file("share/applications/tsl.desktop");
    const ProcessResult valid = shell("desktop-file-validate '" + entry + "'");
    EXPECT_EQ(valid.exitStatus, 0) << valid.output;
    EXPECT_EQ(valid.output, "") << "desktop-file-validate has remarks";
    const std::string text = readFile(entry);
    EXPECT_NE(text.find("\nExec=tsl %f\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=tsl\n"), std::string::npos);
    EXPECT_NE(text.find("\nCategories=Development;IDE;\n"), std::string::npos);
    for (const char *type : {"text/x-csrc;", "text/x-c++src;", "text/x-fortran;", "text/x-python;",
                             "text/x-java;", "application/x-shellscript;", "text/x-tex;", "text/x-makefile;"})
        EXPECT_NE(text.find(type), std::string::npos) << type;
}

TEST_F(Installed, IconsHaveTheirSizes)
{
    EXPECT_EQ(pngSize(file("share/icons/hicolor/48x48/apps/tsl.png")), std::make_pair(48, 48));
    EXPECT_EQ(pngSize(file("share/icons/hicolor/256x256/apps/tsl.png")), std::make_pair(256, 256));
    const std::string svg = readFile(file("share/icons/hicolor/scalable/apps/tsl.svg"));
    EXPECT_NE(svg.find("<svg "), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 64 64\""), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST_F(Installed, ManPageRendersWithoutWarnings)
{
    const std::string page = file("share/man/man1/tsl.1");
    const ProcessResult warnings =
        shell("LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z '" + page + "' 2>&1 >/dev/null");
    EXPECT_EQ(warnings.output, "");
    const ProcessResult shown = shell("LC_ALL=C.UTF-8 MANWIDTH=80 man -l '" + page + "' | col -b");
    EXPECT_EQ(shown.exitStatus, 0);
    for (const char *section : {"SYNOPSIS", "OPTIONS", "CONFIGURATION", "FILES", "ENVIRONMENT", "EXIT STATUS"})
        EXPECT_NE(shown.output.find(std::string("\n") + section + "\n"), std::string::npos) << section;
    for (const char *place : {"~/.tslrc", "/usr/openwin/lib/system.tslrc", "~/tsl.config", "-display"})
        EXPECT_NE(shown.output.find(place), std::string::npos) << place;
}

// Without a display and without any configuration file: if either were needed, tsl would fail.
TEST_F(Installed, HelpAndVersionNeedNeitherDisplayNorConfiguration)
{
    TempDir home;
    // A sanitizer build's settings are kept: they say nothing about X or the configuration.
    const std::string tsl = "env -i HOME='" + home.path() + "' ${ASAN_OPTIONS:+ASAN_OPTIONS=\"$ASAN_OPTIONS\"} "
                            "${LSAN_OPTIONS:+LSAN_OPTIONS=\"$LSAN_OPTIONS\"} '" + file("bin/tsl") + "'";
    const ProcessResult version = shell(tsl + " --version");
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.output, "tsl 0.1\n");
    const ProcessResult help = shell(tsl + " --help");
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.output.rfind("Usage: tsl [toolkit options] [file]\n", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("--version"), std::string::npos);
    // Anywhere among the arguments.
    EXPECT_EQ(shell(tsl + " a.c --version").output, "tsl 0.1\n");
    // An unknown option is refused before anything else; a file name still needs the configuration.
    EXPECT_EQ(shell(tsl + " --verbose").exitStatus, 2);
    EXPECT_EQ(shell(tsl + " a.c").exitStatus, 1);
}

// The Debian package: what it holds, and what it depends on.
TEST(DebianPackage, HoldsTheInstalledFilesAndDependsOnTheRuntime)
{
    TempDir out;
    const ProcessResult built = shell("cd '" TSL_BUILD_DIR "' && '" TSL_CPACK_COMMAND "' -G DEB -B '" + out.path() + "'");
    ASSERT_EQ(built.exitStatus, 0) << built.output;
    const std::string deb = out.file("tsl_0.1_amd64.deb");
    ASSERT_TRUE(isFile(deb)) << built.output;
    const std::string contents = shell("dpkg-deb -c '" + deb + "'").output;
    for (const char *relative : installedFiles)
        EXPECT_NE(contents.find(std::string("./usr/") + relative), std::string::npos) << relative;
    const std::string depends = shell("dpkg-deb -f '" + deb + "' Depends").output;
    for (const char *package : {"libqt5widgets5", "libqscintilla2-qt5", "libqtermwidget5-1", "libx11-6",
                                "libc6", "xfonts-base", "xfonts-75dpi", "xfonts-100dpi", "qtermwidget5-data"})
        EXPECT_NE(depends.find(package), std::string::npos) << package << " missing from: " << depends;
    EXPECT_EQ(shell("dpkg-deb -f '" + deb + "' Package Architecture").output, "Package: tsl\nArchitecture: amd64\n");
}

} // namespace
