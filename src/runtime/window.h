// The window, its menu, status bar and controls, and the event queue.
// Declared once; each program links exactly one realization (qt/, win32/,
// scripted/ for the tests, console/ for kelpra-cli).
#pragma once

#include <cstdint>
#include <string>

// Event codes that EventWait returns and the loop tells apart.
constexpr int EventControl = 13100;
constexpr int EventMenu = 13101;
constexpr int EventClose = 16;

// Returned by a window callback to let the layer process the message itself.
constexpr intptr_t CallbackDefault = static_cast<intptr_t>(0xE0E0E0E1u);
// The platform's size message.
constexpr uint32_t MessageSize = 5;

using WindowCallback = intptr_t (*)(intptr_t window, uint32_t message, uintptr_t firstParameter,
                                    intptr_t secondParameter);

// Sets up the layer's tables; the first call of the run.
void RuntimeStart();
// The end routine: every window and control closed, every file closed.
void RuntimeEnd();

int WindowOpen(int number, int x, int y, int width, int height, int32_t flags,
               const std::string& title);
intptr_t WindowHandle();
int WindowAreaWidth();
int WindowAreaHeight();
void WindowSetCallback(WindowCallback callback);
int EventWait();
int EventControlId();
int EventMenuId();
void ShortcutAdd(int window, int key, int menuId);

int MenuBarCreate(int number, intptr_t window);
void MenuTitleAdd(const std::string& text);
void MenuItemAdd(int id, const std::string& text);
void MenuSeparatorAdd();
void MenuSubmenuOpen(const std::string& text);
void MenuSubmenuClose();
int MenuCheckGet(int menu, int id);
void MenuCheckSet(int menu, int id, int state);

int StatusBarCreate(int number, intptr_t window);
void StatusBarSetText(int number, int field, const std::string& text, int flags);

void ControlParentSet(intptr_t window);
int ButtonCreate(int id, int x, int y, int width, int height, const std::string& text);
int TextFieldCreate(int id, int x, int y, int width, int height, const std::string& text);
int LabelCreate(int id, int x, int y, int width, int height, const std::string& text, int flags);
void ToolTipSet(int id, const std::string& text);
void ControlSetText(int id, const std::string& text);
std::string ControlGetText(int id);
void ControlSetState(int id, int state);
void ControlResize(int id, int x, int y, int width, int height);

// Shows the busy cursor (nonzero) while a command rewrites files.
void BusyCursorSet(int busy);
