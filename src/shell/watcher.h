// The page watcher, which follows the browser from page to page, and Edit
// Page, which reads what the watcher keeps.
#pragma once

// Runs after every event. While the browser's address is unchanged it does
// nothing beyond reading the address and comparing it.
void PageWatcher();
// Starts the HTML editor on the page being shown (never on its display copy).
void EditPage();
