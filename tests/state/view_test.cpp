#include "state/view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/programfolders.h"
#include "state/settings.h"
#include "state/state.h"
#include "support/testfolder.h"

namespace {

class View : public ::testing::Test {
protected:
    void SetUp() override
    {
        State.programFolder = folder.Win();
        ReadSettings();
    }
    TestFolder folder;
};

TEST_F(View, ReadsWhatIsStoredAndDefaultsWhatIsNot)
{
    struct Case {
        const char* section;
        int zoom;
        int singleWindow;
        int remembered;
        WindowPlace place;
    };
    const WindowPlace none = DefaultWindowPlace;
    const Case cases[] = {
        {"", 100, 1, 0, none},
        {"[View]\r\nZoom=150\r\nSingleWindow=0\r\n", 150, 0, 0, none},
        {"[view]\r\nzoom= 125 \r\nsinglewindow=-1\r\n", 125, 1, 0, none},
        {"[View]\r\nZoom=9999\r\n", 300, 1, 0, none},
        {"[View]\r\nZoom=-20\r\n", 50, 1, 0, none},
        {"[View]\r\nZoom=big\r\nSingleWindow=\r\n", 100, 1, 0, none},
        {"[View]\r\nZoom=99999999999999\r\n", 100, 1, 0, none},
        {"[View]\r\nWindowX=-1200\r\nWindowY=40\r\nWindowWidth=640\r\nWindowHeight=480\r\n",
         100,
         1,
         1,
         {-1200, 40, 640, 480}},
        // A place stored only in part is no place.
        {"[View]\r\nWindowX=10\r\nWindowY=40\r\nWindowWidth=640\r\n", 100, 1, 0, none},
        {"[View]\r\nWindowX=10\r\nWindowY=4x0\r\nWindowWidth=640\r\nWindowHeight=480\r\n", 100, 1, 0, none},
        // The keys of [Setup] are not the section's.
        {"[Setup]\r\nZoom=200\r\nWindowX=1\r\n", 100, 1, 0, none},
    };
    for (const Case& c : cases) {
        folder.Write("Kelpra.ini", c.section);
        ReadViewSettings();
        EXPECT_EQ(State.view.zoom, c.zoom) << c.section;
        EXPECT_EQ(State.view.singleWindow, c.singleWindow) << c.section;
        EXPECT_EQ(State.view.placeRemembered, c.remembered) << c.section;
        EXPECT_EQ(State.view.place.x, c.place.x) << c.section;
        EXPECT_EQ(State.view.place.height, c.place.height) << c.section;
    }
}

TEST_F(View, WritesGoToTheirOwnSectionAndLeaveSetupByteForByte)
{
    const std::string setup =
        "; written by hand\r\n[Setup]\r\nHelp=T:\\help\\\r\n  UseCL = 1\r\nkeywords=T:\\k.txt\r\n\r\n";
    folder.Write("Kelpra.ini", setup);
    WriteZoomSetting(400);
    WriteWindowPlace({30, -5, 800, 600});
    WriteSingleWindowSetting(0);
    WriteZoomSetting(67);
#ifndef _WIN32  // the platform's own writer lays out the file on Windows
    EXPECT_EQ(folder.Read("Kelpra.ini").substr(0, setup.size()), setup);
#endif
    EXPECT_EQ(State.view.zoom, 67);

    State.view = ViewSettings{};
    ReadViewSettings();
    EXPECT_EQ(State.view.zoom, 67);
    EXPECT_EQ(State.view.singleWindow, 0);
    EXPECT_EQ(State.view.placeRemembered, 1);
    EXPECT_EQ(State.view.place.y, -5);
    EXPECT_EQ(State.view.place.width, 800);
    ReadSettings();
    EXPECT_EQ(State.helpFolder, "T:\\help\\");
    EXPECT_EQ(State.commandLineFlag, 1);
}

TEST(ViewZoom, StepsUpAndDownThroughTheRangeAndStayAtItsEnds)
{
    std::vector<int> up = {50};
    while (up.back() < ZoomLargest) up.push_back(ZoomStep(up.back(), 1));
    EXPECT_EQ(up, (std::vector<int>{50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300}));
    EXPECT_EQ(ZoomStep(300, 1), 300);
    std::vector<int> down = {300};
    while (down.back() > ZoomSmallest) down.push_back(ZoomStep(down.back(), -1));
    EXPECT_EQ(down, std::vector<int>(up.rbegin(), up.rend()));
    EXPECT_EQ(ZoomStep(50, -1), 50);
    // A value between steps goes to the next step, not one further.
    EXPECT_EQ(ZoomStep(101, 1), 110);
    EXPECT_EQ(ZoomStep(101, -1), 100);
    EXPECT_EQ(ZoomStep(250, 0), 100);
}

TEST(ViewPlace, ARememberedPlaceOffEveryScreenFallsBackToTheDefault)
{
    const std::vector<ScreenArea> one = {{0, 0, 1920, 1040}};
    // A second screen to the left, its coordinates negative.
    const std::vector<ScreenArea> two = {{0, 0, 1920, 1040}, {-1280, 100, 1280, 984}};
    struct Case {
        WindowPlace place;
        std::vector<ScreenArea> screens;
        bool kept;
    };
    const Case cases[] = {
        {{300, 200, 800, 600}, one, true},
        {{1880, 200, 800, 600}, one, true},   // 40 pixels of the title bar still show
        {{1890, 200, 800, 600}, one, false},  // 30 do not
        {{-760, 200, 800, 600}, one, true},   // the same from the left
        {{-770, 200, 800, 600}, one, false},
        {{300, -10, 800, 600}, one, false},  // the title bar above the screen
        {{300, 1000, 800, 600}, one, true},  // title bar at the bottom still reachable
        {{300, 1010, 800, 600}, one, false},
        {{-900, 300, 800, 600}, one, false},  // on a screen that is gone
        {{-900, 300, 800, 600}, two, true},
        {{-900, 50, 800, 600}, two, false},  // above the left screen's top
        {{300, 200, 150, 600}, one, false},  // too narrow to use
        {{300, 200, 800, 80}, one, false},
        {{300, 200, 800, 600}, {}, false},  // no screen reported
        {{2000000, 2000000, 2000000, 2000000}, one, false},
    };
    for (const Case& c : cases) {
        ViewSettings view;
        view.place = c.place;
        view.placeRemembered = 1;
        WindowPlace open = WindowPlaceToOpen(view, c.screens);
        const WindowPlace want = c.kept ? c.place : DefaultWindowPlace;
        EXPECT_TRUE(open.x == want.x && open.y == want.y && open.width == want.width &&
                    open.height == want.height)
            << c.place.x << "," << c.place.y << " " << c.place.width << "x" << c.place.height;
    }
    ViewSettings never;
    never.place = {300, 200, 800, 600};
    EXPECT_EQ(WindowPlaceToOpen(never, one).x, DefaultWindowPlace.x);
}

// A damaged size never opens a window larger than the screens' work areas
// together; the place stays as remembered.
TEST(ViewPlace, ARememberedSizeIsNoLargerThanTheScreens)
{
    const std::vector<ScreenArea> one = {{0, 0, 1920, 1040}};
    const std::vector<ScreenArea> two = {{0, 0, 1920, 1040}, {-1280, 100, 1280, 984}};
    const struct {
        WindowPlace place;
        std::vector<ScreenArea> screens;
        WindowPlace open;
    } cases[] = {
        {{0, 0, 999999, 999999}, one, {0, 0, 1920, 1040}},
        {{300, 200, 999999, 600}, one, {300, 200, 1920, 600}},
        {{300, 200, 800, 999999}, one, {300, 200, 800, 1040}},
        {{300, 200, 1920, 1040}, one, {300, 200, 1920, 1040}},
        // Spread over both screens, as the user left it.
        {{-900, 300, 2500, 700}, two, {-900, 300, 2500, 700}},
        {{-900, 300, 999999, 999999}, two, {-900, 300, 3200, 1084}},
    };
    for (const auto& c : cases) {
        ViewSettings view;
        view.place = c.place;
        view.placeRemembered = 1;
        const WindowPlace open = WindowPlaceToOpen(view, c.screens);
        EXPECT_TRUE(open.x == c.open.x && open.y == c.open.y && open.width == c.open.width &&
                    open.height == c.open.height)
            << c.place.x << "," << c.place.y << " " << c.place.width << "x" << c.place.height << " opens "
            << open.width << "x" << open.height;
    }
}

}  // namespace
