// IDMDragInfoStream: the drag information of the private format "ZUQ_DRAGINFO" in an OLE stream.
#pragma once

#include <objidl.h>

#include <memory>

#include <idefs.hpp>

#include "idmdinfo.hpp"

class OVKWIN_API IDMDragInfoStream {
public:
    // The name under which the format is registered.
    static const char* const formatName;
    // The format's number, registered on each use (the registration answers the same number).
    static CLIPFORMAT format();

    // A new stream on a memory block holding the record, positioned at its start, with one
    // reference for the caller; null when the block or the stream cannot be made.
    static IStream* create(const IDMDragInfo& info);
    // The record in the stream; null when the stream cannot tell its size, is larger than any
    // drag information, or holds something else. A stream that cannot be positioned or read
    // throws the system error "IStream". A stream that reports having read more than it was
    // asked for is not believed: null.
    static std::unique_ptr<IDMDragInfo> read(IStream* stream);
};
