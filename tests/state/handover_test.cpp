#include "state/handover.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/text.h"
#include "state/state.h"

namespace {

std::string Repeated(const std::string& text, int times)
{
    std::string all;
    while (times-- > 0) all += text;
    return all;
}

TEST(HandOver, TheReceivedTextIsMadeSafe)
{
    const std::string euro = "\xe2\x82\xac";  // three bytes in UTF-8
    const std::pair<std::string, std::string> cases[] = {
        {"print", "print"},
        {"  print  ", "  print  "},  // kept as typed: the search trims nothing either
        {"print\r\ndel *.*", "print"},
        {"print\ndel", "print"},
        {"print\rdel", "print"},
        {std::string("print\0del", 9), "print"},
        {"\r\nprint", ""},
        {"get\tdate$", "get date$"},
        {"a\x01\x07\x1b[31mb\x7f", "a[31mb"},
        {"caf\xe9", "caf\xe9"},  // Windows-1252 stays as it is
        {std::string(300, 'x'), std::string(HandOverTextLimit, 'x')},
        // A cut never splits a UTF-8 character (2 + 84 * 3 = 254 bytes)...
        {"ab" + Repeated(euro, 100), "ab" + Repeated(euro, 84)},
        // ...but bytes that are not UTF-8 are cut where the limit falls.
        {std::string(254, 'x') + "\xe9\xe9", std::string(254, 'x') + "\xe9"},
    };
    for (const auto& [received, kept] : cases) {
        const std::string text = HandOverText(received);
        EXPECT_EQ(text, kept) << received.substr(0, 40);
        EXPECT_LE(text.size(), static_cast<size_t>(HandOverTextLimit));
        if (TextIsUtf8(received.substr(0, received.find_first_of("\r\n")))) {
            EXPECT_TRUE(TextIsUtf8(text));
        }
    }
}

TEST(HandOver, OneNamePerUserAndSettingsFile)
{
    const std::string name = HandOverName("C:\\Kelpra\\Kelpra.ini", "1000");
    EXPECT_EQ(name.rfind("kelpra-", 0), 0u);
    EXPECT_LE(name.size(), 40u);
    for (char c : name) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') << name;
    // The same file, however it is spelled, is the same window...
    EXPECT_EQ(HandOverName("c:\\kelpra\\KELPRA.INI", "1000"), name);
    // ...another file or another user is another.
    EXPECT_NE(HandOverName("C:\\Kelpra2\\Kelpra.ini", "1000"), name);
    EXPECT_NE(HandOverName("C:\\Kelpra\\Kelpra.ini", "1001"), name);
    EXPECT_NE(HandOverName("C:\\Kelpra\\Kelpra.ini", ""), name);
    // Both ends compute it from what they know of themselves.
    State.settingsFile = "C:\\Kelpra\\Kelpra.ini";
    EXPECT_EQ(HandOverNameOfThisRun(), HandOverNameOfThisRun());
    EXPECT_NE(HandOverNameOfThisRun(), HandOverName(State.settingsFile, "no such user here"));
}

}  // namespace
