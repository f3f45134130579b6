// IBidiSettings: the bidirectional-text settings of windows and drawing. The platform offers no
// bidirectional support here, so the interface exists and says so.
#pragma once

#include <ibase.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

#include "iwindow.hpp"

class IGraphicContext;

class OVKWIN_API IBidiSettings {
public:
    enum Shaping : unsigned char {
        shapingDefault, shaped, nominalShaping, initialShaping, middleShaping, finalShaping,
        isolatedShaping
    };
    enum NumeralDisplay : unsigned char { numeralsDefault, nominal, national, contextual };
    enum TextOrientation : unsigned char { orientationDefault, leftToRight, rightToLeft };

    // False: every attempt to build or apply settings fails with message number 3.
    static IBase::Boolean isBidiSupported();

    explicit IBidiSettings(const IWindow& window);
    explicit IBidiSettings(const IWindowHandle window);
    explicit IBidiSettings(const IPresSpaceHandle context);
    explicit IBidiSettings(const IGraphicContext& context);

    void apply(const IWindow& window, IBase::Boolean childInherit = false,
               IBase::Boolean refresh = false) const;

    // Without support the queries answer their first value and the setters change nothing.
    IBase::Boolean isTextVisual() const { return false; }
    IBase::Boolean isSymmetricSwapping() const { return false; }
    Shaping shaping() const { return shapingDefault; }
    NumeralDisplay numeralDisplay() const { return numeralsDefault; }
    TextOrientation textOrientation() const { return orientationDefault; }
    IBidiSettings& setTextVisual(IBase::Boolean) { return *this; }
    IBidiSettings& setSymmetricSwapping(IBase::Boolean) { return *this; }
    IBidiSettings& setShaping(Shaping) { return *this; }
    IBidiSettings& setNumeralDisplay(NumeralDisplay) { return *this; }
    IBidiSettings& setTextOrientation(TextOrientation) { return *this; }

private:
    [[noreturn]] static void unsupported(const char* function);
};

// A window's bidirectional settings, in the window's own terms; each enumeration is the one of
// IBidiSettings value for value.
class OVKWIN_API IWindow::BidiSettings {
public:
    enum Shaping : unsigned char {
        shapingDefault, shaped, nominalShaping, initialShaping, middleShaping, finalShaping,
        isolatedShaping
    };
    enum NumeralDisplay : unsigned char { numeralsDefault, nominal, national, contextual };
    enum TextOrientation : unsigned char { orientationDefault, leftToRight, rightToLeft };

    explicit BidiSettings(const IWindow& window);

    IBase::Boolean isTextVisual() const { return fSettings.isTextVisual(); }
    IBase::Boolean isSymmetricSwapping() const { return fSettings.isSymmetricSwapping(); }
    Shaping shaping() const { return static_cast<Shaping>(fSettings.shaping()); }
    NumeralDisplay numeralDisplay() const {
        return static_cast<NumeralDisplay>(fSettings.numeralDisplay());
    }
    TextOrientation textOrientation() const {
        return static_cast<TextOrientation>(fSettings.textOrientation());
    }
    BidiSettings& setTextVisual(IBase::Boolean visual) {
        fSettings.setTextVisual(visual);
        return *this;
    }
    BidiSettings& setSymmetricSwapping(IBase::Boolean swapping) {
        fSettings.setSymmetricSwapping(swapping);
        return *this;
    }
    BidiSettings& setShaping(Shaping shaping) {
        fSettings.setShaping(static_cast<IBidiSettings::Shaping>(shaping));
        return *this;
    }
    BidiSettings& setNumeralDisplay(NumeralDisplay display) {
        fSettings.setNumeralDisplay(static_cast<IBidiSettings::NumeralDisplay>(display));
        return *this;
    }
    BidiSettings& setTextOrientation(TextOrientation orientation) {
        fSettings.setTextOrientation(static_cast<IBidiSettings::TextOrientation>(orientation));
        return *this;
    }
    const IBidiSettings& settings() const { return fSettings; }

private:
    IBidiSettings fSettings;
};
