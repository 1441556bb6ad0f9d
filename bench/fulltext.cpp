// Full-text search and the help-folder check on a generated help folder of
// 10,000 pages (about 50 MB of HTML), beside baselines measured in the same
// run: `grep -ril` over the folder for the first search, a plain read of
// every page for the check. Prints figures, asserts nothing.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pages/check.h"
#include "pages/fulltext.h"
#include "pages/helpfolder.h"
#include "runtime/folders.h"
#include "runtime/hostpath.h"
#include "ratioreporter.h"
#include "state/state.h"
#include "support/testfolder.h"

namespace {

namespace fs = std::filesystem;

constexpr int Pages = 10000;
constexpr int PagesPerFolder = 1000;
constexpr size_t PageBytes = 5000;
// In one page of a hundred: what the first search looks for, as grep does.
const std::string RareWord = "zephyrine";
std::string hostFolder;

std::string PageName(int number)
{
    char name[48];
    std::snprintf(name, sizeof name, "commands%d\\cmd%05d.htm", number / PagesPerFolder, number);
    return name;
}

std::vector<std::string> Vocabulary(std::mt19937& random)
{
    std::vector<std::string> words = {"print",  "screen",  "sync",   "object",   "camera",
                                      "sprite", "bitmap",  "matrix", "memblock", "position",
                                      "rotate", "texture", "sound",  "music"};
    while (words.size() < 3000) {
        std::string word(3 + random() % 8, 'a');
        for (char& c : word) c = static_cast<char>('a' + random() % 26);
        words.push_back(word);
    }
    return words;
}

// A page as the help folder's own look: a head with a style sheet and a
// script, coloured text, a syntax block, paragraphs with entities and
// Windows-1252 bytes, links to other pages and an image.
std::string MakePage(int number, const std::vector<std::string>& words, std::mt19937& random)
{
    const bool utf8 = number % 10 == 0;
    std::string page = "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=";
    page += utf8 ? "utf-8" : "windows-1252";
    page +=
        "\">\r\n<title>CMD" + std::to_string(number) + " " + words[random() % words.size()] + "</title>\r\n";
    page +=
        "<base href=\"../\">\r\n<style type=\"text/css\">\r\nbody { font-family: Verdana; } a:link { color: "
        "#80C0FF; }\r\n</style>\r\n<script language=\"JavaScript\"><!--\r\nfunction show(a) { if (a < 1) "
        "document.write(\"<b>\" + a + \"</b>\"); }\r\n//--></script>\r\n</head>\r\n";
    page += "<body bgcolor=\"#000033\" text=\"#FFFFFF\" link=\"#80C0FF\" vlink=\"#C0A0FF\">\r\n";
    page += "<font color=\"Yellow\" size=\"5\">CMD" + std::to_string(number) +
            "</font>\r\n<hr noshade size=\"1\">\r\n";
    page += "<p><font color=\"Yellow\">Syntax</font></p>\r\n<pre>\r\nCMD" + std::to_string(number) +
            " Value, Value\r\n</pre>\r\n";
    page += "<img src=\"images/logo.gif\" alt=\"logo\">\r\n";
    for (int link = 0; link < 10; ++link) {
        const std::string target = PageName(static_cast<int>(random() % Pages));
        page += "<a href=\"" + target + "\">" + target + "</a><br>\r\n";
    }
    const bool rare = number % 100 == 37;
    while (page.size() < PageBytes - 200) {
        page += "<p>";
        for (int word = 0; word < 30; ++word) {
            page += words[random() % words.size()];
            page += random() % 20 == 0   ? (utf8 ? " caf\xc3\xa9 " : " caf\xe9 ")
                    : random() % 25 == 0 ? " &amp; "
                                         : " ";
        }
        if (rare) page += RareWord + " ";
        page += "&nbsp;</p>\r\n";
    }
    return page +
           "<hr noshade size=\"1\">\r\n<a href=\"main.htm\">Commands Menu</a> | <a "
           "href=\"index.htm\">Index</a>\r\n</body>\r\n</html>\r\n";
}

void WriteFile(const std::string& relative, const std::string& bytes)
{
    std::string host = hostFolder + "/" + relative;
    for (char& c : host)
        if (c == '\\') c = '/';
    fs::create_directories(fs::path(host).parent_path());
    std::ofstream(host, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteHelpFolder()
{
    std::mt19937 random(10000);
    const std::vector<std::string> words = Vocabulary(random);
    std::string index = "<html><head><title>Index</title></head><body>\r\n";
    std::string keywords;
    for (int number = 0; number < Pages; ++number) {
        WriteFile(PageName(number), MakePage(number, words, random));
        index += "<a href=\"" + PageName(number) + "\">CMD" + std::to_string(number) + "</a><BR>\r\n";
        keywords += "CMD" + std::to_string(number) + "\r\n";
    }
    WriteFile("index.htm", index + "</body></html>\r\n");
    WriteFile("menu.htm",
              "<html><body><a href=\"main.htm\">Main</a> <a href=\"index.htm\">Index</a></body></html>\r\n");
    WriteFile("main.htm", "<html><body><a href=\"index.htm\">Index</a></body></html>\r\n");
    WriteFile("images/logo.gif", "GIF89a");
    WriteFile("../keywords.txt", keywords);
}

// The yardstick of the first search: the same word, the same folder.
double ChildSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// grep's own processor time, beside its wall-clock time: on a machine
// shared with other work the two ratios tell load from cost.
double grepCpuMilliseconds = 0;

void GrepFolder(benchmark::State& state)
{
    const std::string command = "grep -ril " + RareWord + " '" + hostFolder + "' > /dev/null";
    const double before = ChildSeconds();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("grep failed");
    grepCpuMilliseconds = (ChildSeconds() - before) * 1000 / static_cast<double>(state.iterations());
    state.counters["grep_cpu_ms"] = grepCpuMilliseconds;
}

void FirstSearch(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        FullTextReset();
        state.ResumeTiming();
        SearchResults results = SearchHelpFolder(RareWord);
        state.counters["hits"] = static_cast<double>(results.hits.size());
    }
}

void LaterSearch(benchmark::State& state, const std::string& query)
{
    SearchHelpFolder(query);
    for (auto _ : state) state.counters["hits"] = static_cast<double>(SearchHelpFolder(query).hits.size());
}

// What every later search pays before it looks at a word: the folder
// listed, to find the pages changed since.
void Refresh(benchmark::State& state)
{
    RefreshPageCache();
    for (auto _ : state) RefreshPageCache();
}

// The yardstick of the check: every page read whole, and nothing else.
void PlainRead(benchmark::State& state)
{
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        size_t total = 0;
        for (const auto& entry : fs::recursive_directory_iterator(hostFolder)) {
            if (!entry.is_regular_file()) continue;
            int fd = open(entry.path().c_str(), O_RDONLY);
            if (fd < 0) continue;
            ssize_t got;
            while ((got = read(fd, buffer.data(), buffer.size())) > 0) total += static_cast<size_t>(got);
            close(fd);
        }
        state.counters["MB"] = static_cast<double>(total) / 1e6;
    }
}

// The same through the program's own listing and reads.
void RuntimeRead(benchmark::State& state)
{
    std::string bytes;
    for (auto _ : state) {
        std::vector<HelpFile> files;
        ListHelpFolder(HelpFolderPath(), files, 1);
        for (const HelpFile& file : files)
            if (!file.isFolder) FileReadAll(HelpFolderPath() + file.path, bytes, PageSizeLimit);
    }
}

// What the check and the first search pay before they look at a page's
// bytes: the folder listed by names, and every page read as they read it.
void HelpRead(benchmark::State& state)
{
    std::string bytes;
    for (auto _ : state) {
        std::vector<HelpFile> files;
        ListHelpFolder(HelpFolderPath(), files, 0);
        HelpFileReader reader;
        for (const HelpFile& file : files)
            if (IsOwnPage(file)) ReadHelpFile(reader, HelpFolderPath(), file.path, bytes);
        ReadHelpFilesDone(reader);
    }
}

void CheckFolder(benchmark::State& state)
{
    for (auto _ : state) state.counters["findings"] = static_cast<double>(CheckHelpFolder().findings.size());
}

}  // namespace

int main(int argc, char** argv)
{
    // KELPRA_BENCH_FOLDER keeps the generated folder for the next run (and
    // for a profiler); otherwise it lives in a temporary folder.
    TestFolder scratch('B');
    const char* kept = std::getenv("KELPRA_BENCH_FOLDER");
    if (kept && *kept) HostPathMapDrive('B', kept);
    hostFolder = (kept && *kept ? std::string(kept) : scratch.root) + "/help";
    State.helpFolder = "B:\\help\\";
    State.keywordsFile = "B:\\keywords.txt";
    if (!fs::exists(hostFolder + "/index.htm")) WriteHelpFolder();

    benchmark::Initialize(&argc, argv);
    // The whole-folder runs take long enough that five of each tell enough.
    const std::pair<const char*, void (*)(benchmark::State&)> wholeFolder[] = {
        {"GrepFolder", GrepFolder},   {"FirstSearch", FirstSearch}, {"PlainRead", PlainRead},
        {"RuntimeRead", RuntimeRead}, {"HelpRead", HelpRead},       {"CheckFolder", CheckFolder}};
    for (const auto& [name, run] : wholeFolder)
        benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
    benchmark::RegisterBenchmark("Refresh", Refresh)->Unit(benchmark::kMillisecond)->UseRealTime();
    for (const char* query : {"zephyrine", "screen object", "print"})
        benchmark::RegisterBenchmark((std::string("LaterSearch/") + query).c_str(), LaterSearch,
                                     std::string(query))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    auto& real = reporter.realTimes;
    auto& cpu = reporter.cpuTimes;
    std::printf("first search / grep -ril: %.2fx real, %.2fx processor time (aim: at most 1.3x)\n",
                ratio(real["FirstSearch"], real["GrepFolder"]),
                ratio(cpu["FirstSearch"], grepCpuMilliseconds));
    std::printf("check / plain read of every page: %.2fx real, %.2fx processor time (aim: at most 1.5x)\n",
                ratio(real["CheckFolder"], real["PlainRead"]), ratio(cpu["CheckFolder"], cpu["PlainRead"]));
    benchmark::Shutdown();
    return 0;
}
