// SSOButtonCanvas: the row of push buttons at the foot of the plug-in's dialogs.
#pragma once

#include <imcelcv.hpp>

class IPushButton;

class SSOButtonCanvas : public IMultiCellCanvas {
public:
    SSOButtonCanvas(const unsigned long id, IWindow* parent, const unsigned long first,
                    const unsigned long second, const unsigned long last);
    // A row without a second button.
    SSOButtonCanvas(const unsigned long id, IWindow* parent, const unsigned long first,
                    const unsigned long last);
    ~SSOButtonCanvas() override;

    SSOButtonCanvas& enableFirst();
    SSOButtonCanvas& disableFirst();
    SSOButtonCanvas& enableSecond();
    SSOButtonCanvas& disableSecond();
    SSOButtonCanvas& enableAllActive();
    SSOButtonCanvas& disableAllActive();
    SSOButtonCanvas& defaultFirst();
    SSOButtonCanvas& defaultSecond();

private:
    IPushButton* fFirst = nullptr;
    IPushButton* fSecond = nullptr;
    IPushButton* fLast = nullptr;
};
