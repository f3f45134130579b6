// The texts replaced while a message-driven container may still be reading them.
#include <windows.h>

#include "detail/icnrrtxt.hpp"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <detail/iclasswide.hpp>
#include <iprivmsg.hpp>

#include "detail/icnrdata.hpp"
#include "icnrctl.hpp"

namespace {

using KeptText = std::shared_ptr<const IString>;

// What one container waits to take its notice for.
struct Kept {
    std::vector<KeptText> texts;
    // Whether a notice is on its way; a later text waits for the same one, which is taken after
    // it was replaced.
    bool noticePosted = false;
};

struct AllKept {
    std::mutex lock;
    std::map<const ICnrCtl*, Kept> byContainer;
};

// Kept until the library is unloaded: a container's thread may let go of its texts while the
// process ends.
AllKept& allKept()
{
    static auto* kept = new AllKept;
    return *kept;
}

} // namespace

ICnrReplacedTexts& ICnrReplacedTexts::instance()
{
    return ovk_app::sharedHandler<ICnrReplacedTexts>();
}

void ICnrReplacedTexts::keepWhileRead(IString&& text)
{
    KeptText kept;
    for (const ICnrList::Member& member : ICnrList::members()) {
        // The hold keeps the container from leaving the list, and so from letting go of what it
        // kept, until its text is added.
        const ICnrList::Use use(member);
        if (!use || !member.container->isMessageContainer())
            continue;
        if (!kept)
            kept = std::make_shared<const IString>(std::move(text));
        bool post = false;
        {
            AllKept& all = allKept();
            const std::lock_guard<std::mutex> lock(all.lock);
            Kept& waiting = all.byContainer[member.container];
            waiting.texts.push_back(kept);
            post = !waiting.noticePosted;
            waiting.noticePosted = true;
        }
        if (!post)
            continue;
        if (PostMessageA(member.window, IPrivateMessage::notification, 0,
                         IPrivateMessage::containerTextsCode))
            continue;
        // A full queue: the next text tries again, and the container's leaving lets go of all.
        AllKept& all = allKept();
        const std::lock_guard<std::mutex> lock(all.lock);
        all.byContainer[member.container].noticePosted = false;
    }
}

void ICnrReplacedTexts::release(const ICnrCtl& container) noexcept
{
    std::vector<KeptText> released;
    {
        AllKept& all = allKept();
        const std::lock_guard<std::mutex> lock(all.lock);
        const auto found = all.byContainer.find(&container);
        if (found == all.byContainer.end())
            return;
        released.swap(found->second.texts);
        all.byContainer.erase(found);
    }
    // The texts go here, outside the lock: another container may still keep some of them.
}

IBase::Boolean ICnrReplacedTexts::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != IPrivateMessage::notification ||
        event.parameter2().asUnsignedLong() != IPrivateMessage::containerTextsCode)
        return false;
    if (auto* container = dynamic_cast<ICnrCtl*>(event.window()))
        release(*container);
    return true;
}
