// A storage medium fetched from a data object, given back to the system on every way out of the
// scope. Private to the drag and drop sources.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace ovk_native {

struct Medium {
    STGMEDIUM medium{};
    bool held = false;

    Medium() = default;
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
    ~Medium()
    {
        if (held)
            ReleaseStgMedium(&medium);
    }

    // Whether the data object gave the format on one of the wanted media.
    bool fetch(IDataObject* data, FORMATETC wanted)
    {
        held = SUCCEEDED(data->GetData(&wanted, &medium)) && (medium.tymed & wanted.tymed);
        if (!held && medium.tymed != TYMED_NULL)
            ReleaseStgMedium(&medium);
        return held;
    }
    bool fetch(IDataObject* data, CLIPFORMAT format, DWORD tymed)
    {
        return fetch(data, FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed});
    }
};

}  // namespace ovk_native
