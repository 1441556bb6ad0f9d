#include "pages/textpipe.h"

#include <algorithm>

#include "runtime/text.h"
#include "runtime/threads.h"

bool KeepPageText(const HelpFile& file, const std::string& bytes, PageText& text, TextBlocks& blocks,
                  CachedPage& page)
{
    // Put together where the blocks keep it: no copy.
    char* room = TextBlocksReserve(blocks, PageTextRoom(bytes.size()));
    if (!room) return false;
    const std::string_view extracted = ExtractPageTextInto(bytes, text, room);
    page.path = file.path;
    page.size = file.size;
    page.time = file.time;
    page.title = text.title.empty() ? Utf8FromText(PathFileName(file.path)) : text.title;
    page.text = TextBlocksCommit(blocks, extracted.size());
    // The text's white space is run together into single spaces, so they
    // count its words closely enough for weighing a page's length.
    page.words = extracted.empty() ? 0 : static_cast<uint32_t>(text.spaces + 1);
    page.linkText = static_cast<uint32_t>(std::min<size_t>(text.linkText, extracted.size()));
    return true;
}

namespace {

// Waits until `ready` holds. The other thread is mostly a batch's work
// away, and a thread put to sleep can take as long to wake (more in a
// virtual machine), so the wait looks again for a while before it sleeps.
template <typename Ready>
void WaitUntil(TextPipe& pipe, std::unique_lock<std::mutex>& hold, Ready ready)
{
    for (int look = 0; look < 2000 && !ready(); ++look) {
        hold.unlock();
        std::this_thread::yield();
        hold.lock();
    }
    pipe.changed.wait(hold, ready);
}

// Takes apart the next batch nobody has begun. Called with the lock held,
// which it lets go meanwhile: no other thread touches a batch begun.
void TakeNext(TextPipe& pipe, std::unique_lock<std::mutex>& hold, TextBlocks& blocks, PageText& text)
{
    TextBatch& batch = pipe.batches[pipe.started++ % TextPipeBatches];
    hold.unlock();
    batch.pages.resize(batch.count);
    for (size_t i = 0; i < batch.count; ++i) {
        batch.pages[i] = CachedPage{};
        KeepPageText(*batch.files[i], batch.bytes[i], text, blocks, batch.pages[i]);
    }
    hold.lock();
    batch.finished = true;
    pipe.changed.notify_all();
}

void Taker(TextPipe& pipe)
{
    std::unique_lock<std::mutex> hold(pipe.lock);
    for (;;) {
        WaitUntil(pipe, hold, [&pipe] { return pipe.started < pipe.sent || pipe.closing; });
        if (pipe.started == pipe.sent) return;
        TakeNext(pipe, hold, pipe.takerBlocks, pipe.takerText);
    }
}

// The oldest batch's pages go into `pages`, so that its room can be filled
// again. Rather than wait for it, the caller takes apart a batch nobody has
// begun: when the taker falls behind (its memory slow to come, its core
// busy elsewhere), the two share the work.
void DeliverOldest(TextPipe& pipe, std::unique_lock<std::mutex>& hold)
{
    TextBatch& oldest = pipe.batches[pipe.delivered % TextPipeBatches];
    while (!oldest.finished) {
        if (pipe.started < pipe.sent) TakeNext(pipe, hold, *pipe.blocks, pipe.callerText);
        else WaitUntil(pipe, hold, [&] { return oldest.finished || pipe.started < pipe.sent; });
    }
    for (CachedPage& page : oldest.pages) pipe.pages->push_back(std::move(page));
    oldest.finished = false;
    oldest.count = 0;
    ++pipe.delivered;
}

void SendBatch(TextPipe& pipe)
{
    std::unique_lock<std::mutex> hold(pipe.lock);
    ++pipe.sent;
    pipe.changed.notify_all();
    if (pipe.sent - pipe.delivered == TextPipeBatches) DeliverOldest(pipe, hold);
}

}  // namespace

void TextPipeStart(TextPipe& pipe, TextBlocks& blocks, std::vector<CachedPage>& pages, int threaded)
{
    pipe.blocks = &blocks;
    pipe.pages = &pages;
    pipe.wanted = threaded;
}

std::string& TextPipeRoom(TextPipe& pipe)
{
    TextBatch& batch = pipe.batches[pipe.sent % TextPipeBatches];
    return batch.bytes[batch.count];
}

void TextPipeSend(TextPipe& pipe, const HelpFile& file)
{
    TextBatch& batch = pipe.batches[pipe.sent % TextPipeBatches];
    batch.files[batch.count++] = &file;
    if (batch.count < TextBatchPages) return;
    if (pipe.wanted) {
        pipe.wanted = 0;
        pipe.threaded = ThreadStart(pipe.thread, [&pipe] { Taker(pipe); });
    }
    SendBatch(pipe);
}

void TextPipeFinish(TextPipe& pipe)
{
    if (pipe.batches[pipe.sent % TextPipeBatches].count > 0) SendBatch(pipe);
    {
        std::unique_lock<std::mutex> hold(pipe.lock);
        while (pipe.delivered < pipe.sent) DeliverOldest(pipe, hold);
        pipe.closing = true;
    }
    pipe.changed.notify_all();
    if (pipe.threaded) pipe.thread.join();
    pipe.threaded = false;
    pipe.blocks->insert(pipe.blocks->end(), pipe.takerBlocks.begin(), pipe.takerBlocks.end());
    pipe.takerBlocks.clear();
}
