// What the widget tests share: the layer started and ended around each test,
// and a way to pump Qt until something has happened.
#pragma once

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "runtime/window.h"

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override { RuntimeStart(); }
    void TearDown() override { RuntimeEnd(); }
};

// The events EventWait hands out until the queue runs dry (it returns 0 then).
inline std::vector<std::pair<int, int>> DrainEvents()
{
    std::vector<std::pair<int, int>> events;
    for (int pass = 0; pass < 50; ++pass) {
        QCoreApplication::processEvents();
        int code = EventWait();
        if (code == 0) break;
        events.emplace_back(code, EventControlId());
    }
    return events;
}

inline bool HasEvent(const std::vector<std::pair<int, int>>& events, int code, int id)
{
    for (const auto& event : events)
        if (event.first == code && event.second == id) return true;
    return false;
}
