#pragma once
// A message queue shared between threads, guarded by its own mutex. Every record carries a
// message number, a value argument, a pointer argument (shared ownership: the record keeps the
// pointed-to object alive until the reader has taken it) and a priority flag.

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>

struct TSpoolMessage {
    std::uint32_t MsgId = 0;
    std::int64_t WParam = 0;
    std::shared_ptr<void> LParam;
    bool Priority = false;
};

class TMessageSpool {
public:
    // An ordinary message goes to the end. A priority message goes before the first ordinary
    // message still queued (so after earlier priority messages), or to the end when there is
    // none. Raises EStackError "Out of memory!" when no record can be allocated.
    void PostMessage(std::uint32_t msgId, std::int64_t wParam, std::shared_ptr<void> lParam,
                     bool priority);
    // Takes the first queued message whose number lies in [minMsg, maxMsg]; a bound of 0 leaves
    // that side open. Returns false when there is none.
    bool TakeMessage(TSpoolMessage& message, std::uint32_t minMsg = 0, std::uint32_t maxMsg = 0);
    std::size_t Count() const;
    void Clear();

private:
    mutable std::mutex Mutex;
    std::list<TSpoolMessage> Messages;
};
