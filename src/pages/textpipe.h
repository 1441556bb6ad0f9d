// A reading of a help folder's pages reads each page on the caller's thread
// and takes it apart into its text on a second one: the reading is mostly
// the system's work, taking apart the processor's, and the two cost about
// the same, so on two cores the reading takes little more than either
// (on one, the caller does it all).
// Only the text goes across: the files, the folder watch, the page cache and
// the state stay with the caller.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pages/helpfolder.h"
#include "pages/html.h"
#include "pages/pagecache.h"
#include "runtime/textblocks.h"

// The page's text put together in `blocks`, where it stays, and what the
// search weighs of it; false when no memory is left for it. `text` keeps
// its room from one page to the next.
bool KeepPageText(const HelpFile& file, const std::string& bytes, PageText& text, TextBlocks& blocks,
                  CachedPage& page);

// Pages go across in batches, so that the threads meet a few hundred times
// in a reading of thousands of pages rather than once a page.
constexpr size_t TextBatchPages = 32;
constexpr size_t TextPipeBatches = 8;
struct TextBatch {
    const HelpFile* files[TextBatchPages] = {};
    std::string bytes[TextBatchPages];  // their room kept from batch to batch
    size_t count = 0;
    std::vector<CachedPage> pages;  // what they came to
    bool finished = false;
};
struct TextPipe {
    TextBlocks* blocks = nullptr;
    std::vector<CachedPage>* pages = nullptr;
    TextBatch batches[TextPipeBatches];
    // Batches sent, begun and delivered into `pages`, in all: batch n is
    // batches[n % TextPipeBatches], and the one being filled is batch `sent`.
    size_t sent = 0;
    size_t started = 0;
    size_t delivered = 0;
    bool closing = false;
    PageText callerText;
    // The second thread puts its text together in blocks of its own, handed
    // to `blocks` at the end; the caller puts it straight into `blocks`.
    TextBlocks takerBlocks;
    PageText takerText;
    int wanted = 0;  // a second thread, once a batch is full
    bool threaded = false;
    std::mutex lock;
    std::condition_variable changed;
    std::thread thread;
};

// Every page sent is added to `pages` in the order sent, its text kept in
// `blocks`; one whose text found no memory comes with an empty path.
// Neither is to be touched before TextPipeFinish. With `threaded` set a
// second thread takes batches apart once the first one is full (a reading
// of a few pages is not worth starting one); the caller takes batches apart
// too whenever it would otherwise wait for room, and does it all where no
// thread is to be had.
void TextPipeStart(TextPipe& pipe, TextBlocks& blocks, std::vector<CachedPage>& pages, int threaded);
// Where the next page's bytes are to be read.
std::string& TextPipeRoom(TextPipe& pipe);
// The page whose bytes are in TextPipeRoom goes across; `file` must stay
// where it is until TextPipeFinish.
void TextPipeSend(TextPipe& pipe, const HelpFile& file);
// Returns once every page sent is in `pages`.
void TextPipeFinish(TextPipe& pipe);
