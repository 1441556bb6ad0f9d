#include "runtime/links.h"

#include <gtest/gtest.h>

#include "runtime/browser.h"

namespace {

struct TargetCase {
    const char* target;
    const char* current;
    const char* path;
    const char* anchor;
};

TEST(BrowserTargetTest, ResolvesEveryFormALinkOrTheProgramUses)
{
    const TargetCase cases[] = {
        {"T:\\help\\Menu.htm", "", "T:\\help\\Menu.htm", ""},
        {"file:///T:/my%20help/a.htm#A", "", "T:\\my help\\a.htm", "A"},
        {"file:///T:/help/index.htm%23", "", "T:\\help\\index.htm#", ""},
        {"sub\\page.htm", "T:\\help\\main.htm", "T:\\help\\sub\\page.htm", ""},
        {"sub/page.htm", "T:\\help\\main.htm", "T:\\help\\sub\\page.htm", ""},
        {"..\\other\\x.htm", "T:\\help\\sub\\vosks.html", "T:\\help\\other\\x.htm", ""},
        {"../../../x.htm", "T:\\help\\a.htm", "T:\\x.htm", ""},
        {"./a%20b.htm?q=1", "T:\\help\\main.htm", "T:\\help\\a b.htm", ""},
        {"C:\\H\\main.htm", "T:\\help\\vosks.html", "C:\\H\\main.htm", ""},
        {"C:/H//main.htm#top", "T:\\help\\vosks.html", "C:\\H\\main.htm", "top"},
        {"\\root\\x.htm", "T:\\help\\a.htm", "T:\\root\\x.htm", ""},
        {"#top", "T:\\help\\a.htm", "T:\\help\\a.htm", "top"},
        {"T:\\help\\#top", "T:\\help\\a.htm", "T:\\help\\a.htm", "top"},
        {"C:\\H\\#A", "T:\\help\\sub\\vosks.html", "T:\\help\\sub\\vosks.html", "A"},
        {"T:\\help\\sub\\", "T:\\help\\a.htm", "T:\\help\\sub\\", ""},
        {"100%.htm", "T:\\help\\a.htm", "T:\\help\\100%.htm", ""},
        {"", "T:\\help\\a.htm", "", ""},
    };
    for (const TargetCase& c : cases) {
        BrowserTarget target = BrowserResolveTarget(c.target, c.current);
        EXPECT_EQ(target.path, c.path) << c.target;
        EXPECT_EQ(target.anchor, c.anchor) << c.target;
        EXPECT_EQ(target.external, "") << c.target;
    }
}

TEST(BrowserTargetTest, WebAddressesAreNotFiles)
{
    for (const char* address : {"http://example.com/a.htm#x", "mailto:me@example.com", "https://x"}) {
        BrowserTarget target = BrowserResolveTarget(address, "T:\\help\\a.htm");
        EXPECT_EQ(target.path, "") << address;
        EXPECT_EQ(target.external, address);
    }
}

TEST(BrowserTargetTest, AddressesRoundTripThroughTheForm)
{
    struct Case {
        const char* path;
        const char* anchor;
        const char* address;
    };
    const Case cases[] = {
        {"T:\\help\\index.htm", "", "file:///T:/help/index.htm"},
        {"Z:\\home\\me\\Dark Basic\\help\\a b.htm", "A", "file:///Z:/home/me/Dark%20Basic/help/a%20b.htm#A"},
        {"T:\\C#\\x.htm", "", "file:///T:/C%23/x.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BrowserAddressFromPath(c.path, c.anchor), c.address);
        BrowserTarget back = BrowserResolveTarget(c.address, "");
        EXPECT_EQ(back.path, c.path);
        EXPECT_EQ(back.anchor, c.anchor);
    }
}

// However a page writes the address of one file, it is that file; and the
// forms of a network path are one path.
TEST(BrowserTargetTest, EveryAddressFormOfOneFileIsThatFile)
{
    const std::pair<const char*, std::vector<const char*>> files[] = {
        {"T:\\help\\sub\\x y.htm",
         {"T:\\help\\sub\\x y.htm", "T:/help/sub/x%20y.htm", "file:///T:/help/sub/x%20y.htm",
          "file://T:\\help\\sub\\x y.htm", "file:/T:/help/sub/x y.htm", "sub/x%20y.htm", "sub\\x y.htm",
          "./sub/x y.htm", "../help/sub/x y.htm", "\\help\\sub\\x y.htm", "/help/sub/x y.htm",
          "file:///help/sub/x%20y.htm", "sub/x%20y.htm?page=2#top"}},
        {"\\\\server\\share\\x.htm",
         {"\\\\server\\share\\x.htm", "//server/share/x.htm", "file://server/share/x.htm",
          "file:////server/share/x.htm", "file://///server/share/x.htm"}},
    };
    for (const auto& [path, forms] : files)
        for (const char* form : forms)
            EXPECT_EQ(BrowserResolveTarget(form, "T:\\help\\a.htm").path, path) << form;
    EXPECT_EQ(BrowserResolveTarget("?page=2", "T:\\help\\a.htm").path, "T:\\help\\a.htm");
}

TEST(LinkText, SchemesAndEscapes)
{
    const std::pair<const char*, int> schemes[] = {
        {"http://x", 1},    {"mailto:me@x", 1}, {"file:///C:/a", 1}, {"svn+ssh://x", 1},
        {"about:blank", 1}, {"C:\\a.htm", 0},   {"c:/a.htm", 0},     {"a.htm", 0},
        {"1a:b", 0},        {"a b:c", 0},       {":x", 0},
    };
    for (const auto& [text, scheme] : schemes) EXPECT_EQ(LinkHasScheme(text), scheme) << text;
    const std::pair<const char*, const char*> escapes[] = {
        {"a%20b", "a b"}, {"100%", "100%"}, {"%4", "%4"}, {"%zz%41", "%zzA"}, {"%C3%A9", "\xC3\xA9"},
    };
    for (const auto& [text, decoded] : escapes) EXPECT_EQ(PercentDecoded(text), decoded) << text;
}

}  // namespace
