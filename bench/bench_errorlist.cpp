// The error-list parse on a long gcc-like output. With TSL_ERRORLIST_OUTPUT set, the generated
// output is also written to that file (bench/errorlist-vs-vim.sh compares with vim's :cfile).
#include "compiler/errorparser.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int outputLines = 200000;

// Eight-line rounds of what gcc prints for a project of prog.c, util.h and files not open.
std::string gccLikeOutput()
{
    std::string out;
    out.reserve(static_cast<size_t>(outputLines) * 64);
    char line[512];
    for (int i = 0; i < outputLines / 8; ++i) {
        int n = i % 5000 + 1;
        std::snprintf(line, sizeof line,
                      "In file included from prog.c:3:\n"
                      "prog.c: In function \xE2\x80\x98" "f%d\xE2\x80\x99:\n"
                      "prog.c:%d:13: error: \xE2\x80\x98y%d\xE2\x80\x99 undeclared (first use in this function)\n"
                      "%5d |     int x = y%d;\n"
                      "      |             ^\n"
                      "util.h:%d:9: warning: unused variable \xE2\x80\x98z%d\xE2\x80\x99 [-Wunused-variable]\n"
                      "list.c:%d:5: note: declared here\n"
                      "./prog.c:%d:2: warning: implicit declaration of function \xE2\x80\x98g\xE2\x80\x99\n",
                      i, n, i, n, i, n, i, n, n);
        out += line;
    }
    return out;
}

const std::string &output()
{
    static const std::string text = [] {
        std::string generated = gccLikeOutput();
        if (const char *path = std::getenv("TSL_ERRORLIST_OUTPUT")) {
            if (FILE *file = std::fopen(path, "wb")) {
                std::fwrite(generated.data(), 1, generated.size(), file);
                std::fclose(file);
            }
        }
        return generated;
    }();
    return text;
}

void run(benchmark::State &state, const std::vector<ProjectFileTitle> &projects)
{
    const std::string &text = output();
    size_t entries = 0;
    for (auto _ : state) {
        std::vector<ErrorEntry> found = parseErrorMessages(text, "*#:%:", "prog.c", projects);
        entries = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["lines"] = outputLines;
    state.counters["entries"] = static_cast<double>(entries);
}

void BM_ErrorListParse(benchmark::State &state)
{
    run(state, {{2, "util.h - edited", true}});
}

// Every line that does not name the main file is compared with 256 project window titles.
void BM_ErrorListParse256ProjectWindows(benchmark::State &state)
{
    std::vector<ProjectFileTitle> projects;
    for (int slot = 0; slot < 255; ++slot)
        projects.push_back({slot, "module" + std::to_string(slot) + ".h", false});
    projects.push_back({255, "util.h", false});
    run(state, projects);
}

} // namespace

BENCHMARK(BM_ErrorListParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ErrorListParse256ProjectWindows)->Unit(benchmark::kMillisecond);
