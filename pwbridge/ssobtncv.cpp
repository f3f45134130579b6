// The button row: first (the default), an optional second and last (help), in row 1 at
// columns 1, 3 and 5, each showing the text of its own id.
#include "ssobtncv.hpp"

#include <iapp.hpp>
#include <icontrol.hpp>
#include <ipushbut.hpp>

namespace {

IPushButton* makeButton(unsigned long id, IWindow* canvas, const IPushButton::Style& extra)
{
    IPushButton* button = new IPushButton(id, canvas, canvas, IRectangle(),
                                          IPushButton::defaultStyle() | extra);
    button->setText(IResourceId(id, IApplication::current().userResourceLibrary()));
    return button;
}

} // namespace

SSOButtonCanvas::SSOButtonCanvas(const unsigned long id, IWindow* parent,
                                 const unsigned long first, const unsigned long second,
                                 const unsigned long last)
    : IMultiCellCanvas(id, parent, parent)
{
    fFirst = makeButton(first, this,
                        IPushButton::_defaultButton | IControl::_group | IControl::_tabStop);
    addToCell(fFirst, 1, 1);
    if (second != 0) {
        fSecond = makeButton(second, this, IControl::_tabStop);
        addToCell(fSecond, 3, 1);
    }
    fLast = makeButton(last, this, IControl::_tabStop | IPushButton::_help);
    addToCell(fLast, 5, 1);
}

SSOButtonCanvas::SSOButtonCanvas(const unsigned long id, IWindow* parent,
                                 const unsigned long first, const unsigned long last)
    : SSOButtonCanvas(id, parent, first, 0, last)
{
}

SSOButtonCanvas::~SSOButtonCanvas()
{
    delete fFirst;
    delete fSecond;
    delete fLast;
}

SSOButtonCanvas& SSOButtonCanvas::enableFirst()
{
    fFirst->enable();
    fFirst->enableDefault();
    fLast->disableDefault();
    return *this;
}

SSOButtonCanvas& SSOButtonCanvas::disableFirst()
{
    fFirst->disable();
    fFirst->disableDefault();
    fLast->enableDefault();
    return *this;
}

SSOButtonCanvas& SSOButtonCanvas::enableSecond()
{
    if (fSecond)
        fSecond->enable();
    return *this;
}

SSOButtonCanvas& SSOButtonCanvas::disableSecond()
{
    if (fSecond)
        fSecond->disable();
    return *this;
}

SSOButtonCanvas& SSOButtonCanvas::enableAllActive()
{
    enableFirst();
    return enableSecond();
}

SSOButtonCanvas& SSOButtonCanvas::disableAllActive()
{
    disableFirst();
    return disableSecond();
}

SSOButtonCanvas& SSOButtonCanvas::defaultFirst()
{
    fFirst->enableDefault();
    if (fSecond)
        fSecond->disableDefault();
    fLast->disableDefault();
    return *this;
}

SSOButtonCanvas& SSOButtonCanvas::defaultSecond()
{
    fFirst->disableDefault();
    fLast->disableDefault();
    if (fSecond)
        fSecond->enableDefault();
    return *this;
}
