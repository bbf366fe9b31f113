#include "modbus/message_spool.h"

#include "modbus/io_types.h"

#include <algorithm>
#include <new>

void TMessageSpool::PostMessage(std::uint32_t msgId, std::int64_t wParam,
                                std::shared_ptr<void> lParam, bool priority) {
    try {
        std::list<TSpoolMessage> node;
        node.push_back(TSpoolMessage{msgId, wParam, std::move(lParam), priority});
        std::lock_guard lock(Mutex);
        auto place = Messages.end();
        if (priority)
            place = std::find_if(Messages.begin(), Messages.end(),
                                 [](const TSpoolMessage& m) { return !m.Priority; });
        Messages.splice(place, node);
    } catch (const std::bad_alloc&) {
        throw EStackError("Out of memory!");
    }
}

bool TMessageSpool::TakeMessage(TSpoolMessage& message, std::uint32_t minMsg,
                                std::uint32_t maxMsg) {
    std::lock_guard lock(Mutex);
    auto inRange = [minMsg, maxMsg](const TSpoolMessage& m) {
        return (minMsg == 0 || m.MsgId >= minMsg) && (maxMsg == 0 || m.MsgId <= maxMsg);
    };
    auto found = std::find_if(Messages.begin(), Messages.end(), inRange);
    if (found == Messages.end())
        return false;
    message = std::move(*found);
    Messages.erase(found);
    return true;
}

std::size_t TMessageSpool::Count() const {
    std::lock_guard lock(Mutex);
    return Messages.size();
}

void TMessageSpool::Clear() {
    std::list<TSpoolMessage> dropped;
    {
        std::lock_guard lock(Mutex);
        dropped.swap(Messages);
    }
}
