// Renderers: what carries the data of a dragged item from the source to the target, for some
// pairs of rendering mechanism and format. A drag handler keeps a list of them and gives each
// item the first that fits it.
#pragma once

#include <istring.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>

#include "idmitem.hpp"

class IDMSourceRenderEvent;
class IDMSourcePrepareEvent;
class IDMSourceEndEvent;
class IDMSourceDiscardEvent;
class IDMSourcePrintEvent;
class IDMTargetDropEvent;
class IDMTargetEndEvent;

// The supported types (comma-separated; "Any" accepts every type) and the supported pairs, kept
// in expanded form.
//
// The pairs the default renderers serve (every type):
//   source  <DRM_KestaUI,DRF_PROCESS=pid> <DRM_KestaUI,DRF_TEXT> <DRM_KestaUI,DRF_SHAREDMEM>
//           <DRM_DISCARD,DRF_UNKNOWN> <DRM_PRINT,DRF_UNKNOWN> <DRM_TARVOSFILE,DRF_TEXT>
//           <DRM_OBJECT,DRF_OBJECT>
//   target  the same without the discard and print pairs
// An item travels only by a pair both an item and a renderer name. A dragged file, for example,
// is an item of type IDMNames::file with the pair <DRM_TARVOSFILE,DRF_TEXT>
// (setRMFs(IDMItem::rmfFrom(IDMNames::rmFile, IDMNames::rfText))), its folder with the final
// backslash as container name and the file's name as source name; <DRM_TARVOSFILE,DRF_UNKNOWN>
// is served by no default renderer. A drag none of whose renderers serves an item does not
// start; with tracing on (ITrace) it writes a line naming the item's types and pairs.
class OVKWIN_API IDMRenderer : public IVBase {
public:
    // Types "Any", no pairs.
    IDMRenderer();
    IDMRenderer(const char* rmfs, const char* types);
    ~IDMRenderer() override;

    virtual IString supportedTypes() const;
    virtual IString supportedRMFs() const;
    virtual IDMRenderer& setSupportedTypes(const char* types);
    virtual IDMRenderer& setSupportedRMFs(const char* rmfs);

    // The library's in-process format: "DRF_PROCESS=" and this process's id.
    static IString processFormat();
    // The pair of the library's mechanism with the in-process format.
    static IString processRMF();

private:
    IString fTypes;
    IString fRMFs;
};

// Serves the windows a drag starts from.
class OVKWIN_API IDMSourceRenderer : public IDMRenderer {
public:
    // The default renderer: every type, the library's in-process pairs, discard and print, the
    // file pair and the object pair.
    IDMSourceRenderer();
    IDMSourceRenderer(const char* rmfs, const char* types);
    ~IDMSourceRenderer() override;

    // A target asks for the item's data in a clipboard format: a file item answers in the
    // shell's formats, any other item with its contents as text.
    virtual IBase::Boolean sourceRender(IDMSourceRenderEvent& event);
    virtual IBase::Boolean sourcePrepare(IDMSourcePrepareEvent& event);
    virtual IBase::Boolean sourceEnd(IDMSourceEndEvent& event);
    virtual IBase::Boolean sourceDiscard(IDMSourceDiscardEvent& event);
    virtual IBase::Boolean sourcePrint(IDMSourcePrintEvent& event);
    // True when the renderer takes one of the comma-separated types.
    virtual IBase::Boolean canRenderTypes(const IString& types) const;
    // True when the item's types and pairs fit this renderer.
    IBase::Boolean fits(const IDMItem::Handle& item) const;
};

// Serves the windows a drag is dropped on.
class OVKWIN_API IDMTargetRenderer : public IDMRenderer {
public:
    // The default renderer: every type, the library's in-process pairs, the file pair and the
    // object pair.
    IDMTargetRenderer();
    IDMTargetRenderer(const char* rmfs, const char* types);
    ~IDMTargetRenderer() override;

    // Fetches the item's data by its selected pair, runs the item's targetDrop and tells the
    // source how it went. Messages 155 to 158 for a pair that cannot be served; the item then
    // gets neither its hook nor the notification.
    virtual IBase::Boolean targetRender(IDMTargetDropEvent& event, const IDMItem::Handle& item);
    virtual IBase::Boolean targetEnd(IDMTargetEndEvent& event);
    // Sends the source window the end of the item's conversation (code 1: taken, 2: refused)
    // and takes the item out of the current target operation.
    virtual IDMTargetRenderer& endNotification(const IDMItem::Handle& item, unsigned char code);
    // 1 (drop) and the pair selected, or 3 (never a drop) when types or pairs do not fit.
    virtual unsigned char canRender(const IDMItem::Handle& item);
    // Whether the item allows the target operation's operation; the default operation becomes
    // move, copy or link, in that order, as the item allows.
    virtual IBase::Boolean isOperationSupported(const IDMItem::Handle& item);
    // Fills the item's contents from the drag's data object, in the format of the first of its
    // types that the default target renderer takes.
    virtual IBase::Boolean fetchData(IDMTargetDropEvent& event, const IDMItem::Handle& item);

    // Splits a path after its last backslash into the item's container and source names.
    static void splitPath(IDMItem& item, const IString& path);
};
