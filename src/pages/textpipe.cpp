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

void TakeApart(TextPipe& pipe, const TextBatch& batch)
{
    for (size_t i = 0; i < batch.count; ++i) {
        CachedPage page;
        if (KeepPageText(*batch.files[i], batch.bytes[i], pipe.text, *pipe.blocks, page))
            pipe.pages->push_back(std::move(page));
    }
}

void Taker(TextPipe& pipe)
{
    std::unique_lock<std::mutex> hold(pipe.lock);
    for (;;) {
        WaitUntil(pipe, hold, [&pipe] { return pipe.taken < pipe.sent || pipe.closing; });
        if (pipe.taken == pipe.sent) return;
        const TextBatch& batch = pipe.batches[pipe.taken % TextPipeBatches];
        hold.unlock();
        TakeApart(pipe, batch);
        hold.lock();
        ++pipe.taken;
        pipe.changed.notify_all();
    }
}

// The batch being filled goes across, and the next is begun once the taker
// is done with what it held before.
void SendBatch(TextPipe& pipe)
{
    TextBatch& batch = pipe.batches[pipe.sent % TextPipeBatches];
    if (!pipe.threaded) {
        TakeApart(pipe, batch);
        ++pipe.sent;
        ++pipe.taken;
    } else {
        std::unique_lock<std::mutex> hold(pipe.lock);
        ++pipe.sent;
        pipe.changed.notify_all();
        WaitUntil(pipe, hold, [&pipe] { return pipe.sent - pipe.taken < TextPipeBatches; });
    }
    pipe.batches[pipe.sent % TextPipeBatches].count = 0;
}

}  // namespace

void TextPipeStart(TextPipe& pipe, TextBlocks& blocks, std::vector<CachedPage>& pages, int threaded)
{
    pipe.blocks = &blocks;
    pipe.pages = &pages;
    pipe.threaded = threaded && ThreadStart(pipe.taker, [&pipe] { Taker(pipe); });
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
    if (batch.count == TextBatchPages) SendBatch(pipe);
}

void TextPipeFinish(TextPipe& pipe)
{
    if (pipe.batches[pipe.sent % TextPipeBatches].count > 0) SendBatch(pipe);
    if (!pipe.threaded) return;
    {
        const std::lock_guard<std::mutex> hold(pipe.lock);
        pipe.closing = true;
    }
    pipe.changed.notify_all();
    pipe.taker.join();
    pipe.threaded = false;
}
