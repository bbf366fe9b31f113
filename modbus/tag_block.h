// TTagBlock: a tag of several elements with the four request operations.
#pragma once

#include "modbus/plc_tag.h"

class TTagBlock : public TPLCTag {
public:
    using TPLCTag::TPLCTag;

    // Queues a read answered from the driver's cache (background scanning only).
    void ScanRead() override;
    // Queued write; without AutoWrite the values only change the tag locally.
    void ScanWrite(const TArrayOfDouble& values, uint32_t count, uint32_t offset) override;
    // Synchronous: the result is processed before these return.
    void Read() override;
    void Write(const TArrayOfDouble& values, uint32_t count, uint32_t offset) override;
};
