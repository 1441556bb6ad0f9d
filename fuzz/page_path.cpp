// Address conversion and the text operations on arbitrary texts, against
// their rules written out plainly. No files.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "helpindex/contextlist.h"
#include "runtime/text.h"
#include "support.h"

namespace {

int ModelSearch(const std::string& text, const std::string& pattern, int start)
{
    if (start < 1) start = 1;
    if (static_cast<long long>(start) > static_cast<long long>(text.size()) + 1) return 0;
    if (pattern.empty()) return start;
    for (size_t at = static_cast<size_t>(start) - 1; at + pattern.size() <= text.size(); ++at) {
        size_t matched = 0;
        while (matched < pattern.size() && text[at + matched] == pattern[matched]) ++matched;
        if (matched == pattern.size()) return static_cast<int>(at) + 1;
    }
    return 0;
}

int32_t ModelToInteger(const std::string& text)
{
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    uint64_t value = 0;  // kept to 32 bits after every step
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = (value * 10 + static_cast<uint64_t>(text[at] - '0')) & 0xFFFFFFFFu;
    if (negative) value = (0x100000000ull - value) & 0xFFFFFFFFu;
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// Counts and positions near the text's ends matter most; huge ones, either
// sign, now and then.
int SomeCount(FuzzedDataProvider& input, const std::string& text)
{
    if (input.ConsumeBool()) return input.ConsumeIntegral<int>();
    return input.ConsumeIntegralInRange<int>(-2, static_cast<int>(text.size()) + 2);
}

void CheckPieces(const std::string& text, int count, int position)
{
    const size_t n = text.size();
    const std::string head = TextHead(text, count);
    const std::string tail = TextTail(text, count);
    const size_t wanted = count <= 0 ? 0 : std::min(n, static_cast<size_t>(count));
    FUZZ_CHECK(head == text.substr(0, wanted), "TextHead " + std::to_string(count));
    FUZZ_CHECK(tail == text.substr(n - wanted), "TextTail " + std::to_string(count));

    const std::string slice = TextSlice(text, position, count);
    size_t start = position < 1 ? 0 : static_cast<size_t>(position) - 1;
    std::string expected;
    if (count > 0 && start < n)
        expected = text.substr(start, std::min(n - start, static_cast<size_t>(count)));
    FUZZ_CHECK(slice == expected, "TextSlice " + std::to_string(position) + ", " + std::to_string(count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string text = input.ConsumeRandomLengthString(512);
    const std::string pattern = input.ConsumeRandomLengthString(16);
    const int start = SomeCount(input, text);
    const int count = SomeCount(input, text);
    const int position = SomeCount(input, text);

    FUZZ_CHECK(PagePathFromAddress(text) == ModelPagePath(text),
               "PagePathFromAddress of " + Shown(text) + " is " + Shown(PagePathFromAddress(text)));

    const int found = TextSearch(text, pattern, start);
    FUZZ_CHECK(found == ModelSearch(text, pattern, start), "TextSearch for " + Shown(pattern) + " from " +
                                                               std::to_string(start) + " gave " +
                                                               std::to_string(found));

    FUZZ_CHECK(TextToInteger(text) == ModelToInteger(text),
               "TextToInteger of " + Shown(text) + " is " + std::to_string(TextToInteger(text)));
    const int32_t number = ModelToInteger(text);
    FUZZ_CHECK(TextToInteger(TextFromInteger(number)) == number, "integer text does not read back");

    CheckPieces(text, count, position);

    FUZZ_CHECK(TextToUpper(text) == ModelUpper(text), "TextToUpper of " + Shown(text));
    FUZZ_CHECK(TextToLower(text) == ModelLower(text), "TextToLower of " + Shown(text));
    FUZZ_CHECK(TextGreater(text, pattern) == (ModelGreater(text, pattern) ? 1 : 0),
               "TextGreater of " + Shown(text) + " and " + Shown(pattern));
    FUZZ_CHECK(TextEquals(text, pattern) == (text == pattern ? 1 : 0), "TextEquals");

    FUZZ_CHECK(IsLinkLine(text) == (text.compare(0, 8, "<a href=") == 0 ? 1 : 0), "IsLinkLine");
    FUZZ_CHECK(LinkLineText(text) == ModelLinkText(text), "LinkLineText of " + Shown(text));
    return 0;
}
