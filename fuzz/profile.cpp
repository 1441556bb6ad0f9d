// The settings file reader and writer over arbitrary bytes: reads never
// overrun their room, a written value reads back, and a write keeps every
// other line of the file byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/profile.h"
#include "support.h"

namespace {

const std::string kFile = "T:\\Kelpra.ini";

struct Pair {
    const char* section;
    const char* key;
};

// Keys the program reads, in the spellings it uses and in others; none of
// them is the key the target writes.
const Pair kReadPairs[] = {
    {"Setup", "Help"}, {"setup", "USECL"}, {"Setup", "keywords"}, {"SETUP", "DBA"},
    {"Other", "Fuzz"}, {"", ""},           {"Setup", ""},         {"[Setup]", "Help"},
};

struct Line {
    std::string text;
    std::string end;
};

// Lines with the end each had: CR LF, a lone CR or a lone LF, or none.
std::vector<Line> SplitWithEnds(const std::string& bytes)
{
    std::vector<Line> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t stop = bytes.find_first_of("\r\n", at);
        if (stop == std::string::npos) {
            lines.push_back({bytes.substr(at), ""});
            break;
        }
        size_t length = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back({bytes.substr(at, stop - at), bytes.substr(stop, length)});
        at = stop + length;
    }
    return lines;
}

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A line the reader takes for the key "Fuzz", whatever its value.
bool WasFuzzKeyLine(const std::string& text)
{
    std::string line = Trimmed(text);
    size_t equals = line.find('=');
    if (line.empty() || line[0] == ';' || line[0] == '[' || equals == std::string::npos) return false;
    return ModelUpper(Trimmed(line.substr(0, equals))) == "FUZZ";
}

// Whether the reader finds a section "Setup" in these lines (an editor's
// UTF-8 mark may stand before the first one).
bool HasSetupSection(const std::vector<Line>& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i].text;
        if (i == 0 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line = line.substr(3);
        line = Trimmed(line);
        if (line.empty() || line[0] != '[') continue;
        size_t close = line.find(']');
        std::string name =
            Trimmed(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        if (ModelUpper(name) == "SETUP") return true;
    }
    return false;
}

bool IsFuzzKeyLine(const std::string& text, const std::string& value)
{
    size_t equals = text.find('=');
    if (equals == std::string::npos || text.substr(equals + 1) != value) return false;
    return ModelUpper(text.substr(0, equals)) == "FUZZ";
}

// The new file differs from the old one in one place: the key's line
// replaced, or the key's line added (after the section header added with it,
// and after an end given to a last line that had none).
void CheckOnlyKeyChanged(const std::string& before, const std::string& after, const std::string& value)
{
    const std::vector<Line> old = SplitWithEnds(before);
    const std::vector<Line> now = SplitWithEnds(after);
    auto same = [](const Line& a, const Line& b) { return a.text == b.text && a.end == b.end; };
    size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && same(old[prefix], now[prefix])) ++prefix;
    size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           same(old[old.size() - 1 - suffix], now[now.size() - 1 - suffix]))
        ++suffix;
    const size_t oldChanged = old.size() - prefix - suffix;
    const size_t newChanged = now.size() - prefix - suffix;
    FUZZ_CHECK(oldChanged <= 1 && newChanged >= 1 && newChanged <= 3,
               "the write changed more than the key's place: " + Shown(after));

    const Line* replaced = oldChanged ? &old[prefix] : nullptr;
    std::vector<const Line*> added;
    for (size_t i = prefix; i < prefix + newChanged; ++i) added.push_back(&now[i]);
    for (const Line* line : added)
        FUZZ_CHECK(line->end == "\r\n", "a changed line has no CR LF: " + Shown(after));
    // The key line comes last; before it may stand the header made for it,
    // and before that the old last line, given the end it lacked.
    FUZZ_CHECK(IsFuzzKeyLine(added.back()->text, value),
               "the key line is not where it belongs: " + Shown(after));
    added.pop_back();
    if (!added.empty() && added.back()->text == "[Setup]" && !HasSetupSection(old)) added.pop_back();
    if (!added.empty()) {
        FUZZ_CHECK(added.size() == 1 && replaced && replaced->end.empty() && added[0]->text == replaced->text,
                   "the write changed the line " + Shown(added[0]->text));
    } else if (replaced) {
        FUZZ_CHECK(WasFuzzKeyLine(replaced->text), "the write replaced the line " + Shown(replaced->text));
    }
}

// Values that read back as written: no line breaks or NUL, no blanks at the
// ends and no quotes around the whole (the reader takes those off, as the
// platform's does).
std::string PlainValue(std::string value)
{
    std::string out;
    for (char c : value)
        if (c != '\r' && c != '\n' && c != '\0') out += c;
    out = Trimmed(out);
    if (out.size() >= 2 && (out[0] == '"' || out[0] == '\'') && out.back() == out[0]) out += 'x';
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string value = PlainValue(input.ConsumeRandomLengthString(80));
    const std::string before = input.ConsumeRemainingBytesAsString();
    ClearFuzzFolder();
    FuzzFolder().Write("Kelpra.ini", before);

    std::vector<std::string> values;
    for (const Pair& pair : kReadPairs) {
        const std::string full = ProfileGetString(pair.section, pair.key, "none", 65536, kFile);
        const std::string cut = ProfileGetString(pair.section, pair.key, "none", 120, kFile);
        FUZZ_CHECK(
            cut.size() <= 119 && full.compare(0, cut.size(), cut) == 0 && (cut.size() == 119 || cut == full),
            "a value cut to its room is " + Shown(cut) + " of " + Shown(full));
        FUZZ_CHECK(ProfileGetString(pair.section, pair.key, "none", 1, kFile).empty(),
                   "a room of one byte holds a value");
        values.push_back(full);
    }

    FUZZ_CHECK(ProfileWriteString("Setup", "Fuzz", value, kFile) == 1, "the write failed");
    const std::string after = FuzzFolder().Read("Kelpra.ini");
    FUZZ_CHECK(ProfileGetString("setup", "FUZZ", "none", 65536, kFile) == value,
               "the value written, " + Shown(value) + ", reads back as " +
                   Shown(ProfileGetString("setup", "FUZZ", "none", 65536, kFile)));
    CheckOnlyKeyChanged(before, after, value);
    for (size_t i = 0; i < values.size(); ++i)
        FUZZ_CHECK(
            ProfileGetString(kReadPairs[i].section, kReadPairs[i].key, "none", 65536, kFile) == values[i],
            std::string("the write changed the value of ") + kReadPairs[i].key);

    // Writing the same value again changes nothing.
    FUZZ_CHECK(ProfileWriteString("Setup", "Fuzz", value, kFile) == 1, "the second write failed");
    FUZZ_CHECK(FuzzFolder().Read("Kelpra.ini") == after, "a second write of the value changed the file");
    return 0;
}
