// The one lock over what every container object shares between threads.
#pragma once

// Held while a thread reads or changes what container objects share between threads, for all
// objects at once: each object's native entries and the words they lie in, the keep-record mark
// (which shares one of those words, so a write to either bit field rewrites the other), its
// attribute word and its text. An object shown by containers of several threads has its entries
// changed on each of those threads, and is walked, renamed and deleted from any. Each hold lasts
// a few instructions: nothing sends to a window, calls application code or takes another lock
// while it is held. Not recursive. A helper that needs it held takes the holder as a parameter.
class ICnrAllObjectsLock {
public:
    ICnrAllObjectsLock() noexcept;
    ~ICnrAllObjectsLock();
    ICnrAllObjectsLock(const ICnrAllObjectsLock&) = delete;
    ICnrAllObjectsLock& operator=(const ICnrAllObjectsLock&) = delete;
};
