// IFontDialog: the system's font selection dialog as a frame window of the library, starting from
// an IFont and reporting the chosen font back into it.
#pragma once

#include <memory>

#include <ipoint.hpp>
#include <istring.hpp>

#include <iclsstyl.hpp>
#include <icolor.hpp>
#include <idefs.hpp>
#include <ifdnhdr.hpp>
#include <ifont.hpp>
#include <ireslib.hpp>

#include "iframe.hpp"

struct IFontDialogData;
struct tagCHOOSEFONTA;

// What the font dialog starts with: the font (which a successful dialog updates), texts,
// position, printer and template. Named IFontDialog::Settings.
class OVKWIN_API IFontDialogSettings {
public:
    // A font's attributes start the dialog, and its raster, vector and fixed-pitch
    // restrictions limit the faces offered.
    explicit IFontDialogSettings(IFont* font = nullptr);
    IFontDialogSettings(const IFontDialogSettings& other);
    IFontDialogSettings& operator=(const IFontDialogSettings& other);
    ~IFontDialogSettings();

    // A null text, or an empty one loaded from a string table, leaves the setting.
    IFontDialogSettings& setTitle(const char* title);
    IFontDialogSettings& setTitle(const IResourceId& title);
    IFontDialogSettings& setSampleText(const char* text);
    IFontDialogSettings& setSampleText(const IResourceId& text);
    // Relative to the owner's left edge and, in the application's coordinates, its bottom or
    // top edge.
    IFontDialogSettings& setPosition(const IPoint& position);
    // The printer's fonts are offered too.
    IFontDialogSettings& setPrinterPresSpace(const IPresSpaceHandle& printer);
    IFontDialogSettings& resetPrinterPresSpace();
    IFontDialogSettings& setDialogTemplate(const IResourceId& dialogTemplate);

    IFont* font() const;
    IString title() const;
    IString sampleText() const;
    IPoint position() const;
    IBase::Boolean isPositionSet() const;
    // The native dialog flags these settings ask for (CF_...).
    unsigned long flags() const;
    // The attributes the dialog starts from, and after a dialog the chosen ones.
    const tagLOGFONTA& fontAttributes() const;

private:
    friend class IFontDialog;
    friend struct IFontDialogData;
    struct Record;
    std::unique_ptr<Record> fRecord;
};

// The dialog opens in the constructor and is closed when it returns. The colour controls are
// hidden: a font here has no colour. With _applyButton the application's windows stay enabled,
// and the Apply button updates the font and tells the handlers while the dialog stays open.
class OVKWIN_API IFontDialog : public IFrameWindow {
public:
    using Settings = IFontDialogSettings;
    using Style = IWindowClassStyle<IFontDialog>;
    // The _inertStyle constants have no effect here; they are kept so that code that names
    // them builds.
    static const Style _helpButton;
    static const Style _showApplyButton;
    static const Style _inertStyle1;
    static const Style _applyButton;
    static const Style _inertStyle2;
    static const Style _noVectorFonts;
    static const Style _scalableOnly;
    static const Style _fixedPitchOnly;
    static const Style _noSimulations;
    static const Style _inertStyle3;
    static const Style _inertStyle4;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // Without settings the dialog starts from no font.
    IFontDialog(IWindow* parent, IWindow* owner, const Style& style = defaultStyle());
    IFontDialog(IWindow* parent, IWindow* owner, IHandler* handler,
                const Style& style = defaultStyle());
    IFontDialog(IWindow* parent, IWindow* owner, const Settings& settings,
                const Style& style = defaultStyle());
    IFontDialog(IWindow* parent, IWindow* owner, IHandler* handler, const Settings& settings,
                const Style& style = defaultStyle());
    ~IFontDialog() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow& setId(unsigned long id) override;
    unsigned long id() const override;
    IColor backgroundColor() const override;
    IWindow& setBackgroundColor(const IColor& color) override;

    IBase::Boolean pressedOK() const;
    IBase::Boolean hasApplyButton() const;
    // The chosen size in whole points.
    unsigned long pointSize() const;
    // 1 = OK, 2 = cancelled or failed.
    unsigned long result() const override;
    // The extended error of the last failed dialog (CommDlgExtendedError).
    unsigned long errorCode() const;

protected:
    IFontDialog& initialize(IWindow* parent, IWindow* owner, const Style& style,
                            IHandler* handler, const Settings& settings);

private:
    friend struct IFontDialogData;

    IFontDialogData* fDialogData = nullptr;
};
