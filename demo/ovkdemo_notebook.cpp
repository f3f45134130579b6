// The demo's notebook. "Values" holds a text spin button over the month names, the master whose
// arrows also serve the day's numeric spin button while the day has the focus, and a numeric
// spin button from 1 to 100 that pads its number with zeros, and below them a plain area for
// windows that place themselves (the demo's sliders). The frame's title names the page
// on top; Alt+Page Up and Alt+Page Down turn the pages as the tabs do.
#include "ovkdemo_notebook.h"

#include <windows.h>

#include <initializer_list>
#include <utility>

#include <ovkwin.hpp>

#include "ovkdemo.h"

namespace {

// The autoplay's two steps: turn to "Values" and spin, then the screenshot and back.
constexpr UINT_PTR kValuesTimer = 40;
constexpr UINT_PTR kValuesShotTimer = 41;
constexpr UINT kValuesShotAfter = 400;
// A menu open at that moment (the autoplay's others) goes first.
constexpr UINT kMenuWait = 300;

bool menuOpen()
{
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

std::unique_ptr<IStaticText> label(IWindow& parent, unsigned long id, const char* text)
{
    auto made = std::make_unique<IStaticText>(
        id, &parent, &parent, IRectangle(), IStaticText::defaultStyle() | IStaticText::_mnemonic);
    made->setAlignment(IStaticText::centerRight);
    made->setText(text);
    return made;
}

// Gaps of 10 pixels around and between the cells of a page.
void spaceOut(IMultiCellCanvas& canvas, std::initializer_list<unsigned long> columns,
              std::initializer_list<unsigned long> rows)
{
    for (unsigned long c : columns)
        canvas.setColumnWidth(c, 10);
    for (unsigned long r : rows)
        canvas.setRowHeight(r, 10);
}

// The "Values" page.
struct ValuesPage {
    ValuesPage(IWindow& notebook, IWindow& owner)
        : canvas(80, &notebook, &owner),
          monthLabel(label(canvas, 81, "&Month:")),
          month(82, &canvas, &canvas),
          dayLabel(label(canvas, 83, "&Day:")),
          // Numeric (the extended bit 0x40), with no arrows of its own: the month's arrows
          // serve it.
          day(84, &canvas, &canvas, IRectangle(),
              IBaseSpinButton::Style(WS_VISIBLE, 0x40) | IBaseSpinButton::servant |
                  IBaseSpinButton::leftAlign),
          amountLabel(label(canvas, 85, "&Amount:")),
          amount(86, &canvas, &canvas, IRectangle(),
                 INumericSpinButton::classDefaultStyle | INumericSpinButton::padWithZeros)
    {
        static const char* const months[] = {"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
        month.addAsLast(months, 12);
        month.setLimit(9);
        day.setMaster(month);
        day.setRange(IRange(1, 31));
        day.setLimit(2);
        day.spinTo(1);
        amount.setLimit(3);
        amount.setRange(IRange(1, 100));
        amount.spinTo(7);
        for (IWindow* spin : std::initializer_list<IWindow*>{&month, &day, &amount})
            spin->setMinimumSize(ISize(spin->minimumSize().width(), 24));
        canvas.addToCell(monthLabel.get(), 2, 2).addToCell(&month, 4, 2);
        canvas.addToCell(dayLabel.get(), 2, 4).addToCell(&day, 4, 4);
        canvas.addToCell(amountLabel.get(), 2, 6).addToCell(&amount, 4, 6);
        area.startHandlingEventsFor(area.create(
            87, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, "Static", canvas.handle(),
            canvas.handle(), IRectangle(), nullptr, nullptr));
        area.setMinimumSize(ISize(DemoNotebook::valuesWidth, DemoNotebook::valuesHeight));
        canvas.addToCell(&area, 2, 8, 3, 1);
        spaceOut(canvas, {1, 3}, {1, 3, 5, 7});
    }

    // The month on by two, the day and the amount by one.
    void spin()
    {
        SetFocus(day.entryField());
        month.spinUp(2);
        day.spinUp();
        amount.spinUp();
    }

    IMultiCellCanvas canvas;
    IWindow area;
    std::unique_ptr<IStaticText> monthLabel;
    ITextSpinButton month;
    std::unique_ptr<IStaticText> dayLabel;
    INumericSpinButton day;
    std::unique_ptr<IStaticText> amountLabel;
    INumericSpinButton amount;
};

// Names the page on top in the frame's title: "ovkwin demo - Values:1".
class TitlePages : public IPageHandler {
public:
    TitlePages(IFrameWindow& frame, INotebook& notebook) : fFrame(frame), fNotebook(notebook) {}

protected:
    IBase::Boolean pageSelected(INotebookSelectEvent& event) override
    {
        const IString tab = fNotebook.pageSettings(event.pageHandle()).tabText();
        ITitle(&fFrame).setViewText(tab);
        return false;
    }

private:
    IFrameWindow& fFrame;
    INotebook& fNotebook;
};

} // namespace

struct DemoNotebook::Parts : public IHandler {
    explicit Parts(IFrameWindow& owner)
        : frame(owner), notebook(91, &owner, &owner), dataPage(92, &notebook, &owner),
          document(95, &notebook, &owner, IRectangle(),
                   IStaticText::defaultStyle() | IStaticText::_border3D),
          values(notebook, owner), titles(owner, notebook)
    {
        // A column and a row that take the room beyond the minimum, between gaps.
        spaceOut(dataPage, {1, 3, 5}, {1, 3});
        dataPage.setColumnWidth(2, 0, true);
        dataPage.setRowHeight(2, 0, true);
        document.setAlignment(IStaticText::topLeftWrapped);
        document.setFillColor(IColor(IColor::white));
        document.setText("The document view comes here.");
        titles.handleEventsFor(&frame);
        handleEventsFor(&frame);
    }
    ~Parts() override
    {
        stopHandlingEventsFor(&frame);
        titles.stopHandlingEventsFor(&frame);
    }

    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() != WM_TIMER)
            return false;
        const UINT_PTR timer = event.parameter1().asUnsignedLong();
        if (timer == kValuesTimer) {
            KillTimer(frame.handle(), kValuesTimer);
            if (menuOpen()) {
                SetTimer(frame.handle(), kValuesTimer, kMenuWait, nullptr);
                return true;
            }
            before = notebook.topPage();
            notebook.turnToPage(valuesPage);
            values.spin();
            if (onValues)
                onValues();
            SetTimer(frame.handle(), kValuesShotTimer, kValuesShotAfter, nullptr);
            return true;
        }
        if (timer == kValuesShotTimer) {
            KillTimer(frame.handle(), kValuesShotTimer);
            requestScreenshot("values");
            if (before.isValid())
                notebook.turnToPage(before);
            return true;
        }
        return false;
    }

    IFrameWindow& frame;
    INotebook notebook;
    IMultiCellCanvas dataPage;
    IStaticText document;
    ValuesPage values;
    TitlePages titles;
    IPageHandle controlsPage;
    IPageHandle dataPageHandle;
    IPageHandle documentPage;
    IPageHandle valuesPage;
    IPageHandle before;
    std::function<void()> onValues;
};

DemoNotebook::DemoNotebook(IFrameWindow& frame) : fParts(std::make_unique<Parts>(frame)) {}

DemoNotebook::~DemoNotebook() = default;

IWindow& DemoNotebook::window()
{
    return fParts->notebook;
}

IMultiCellCanvas& DemoNotebook::dataPage()
{
    return fParts->dataPage;
}

void DemoNotebook::addPages(IWindow& controls)
{
    using Settings = INotebook::PageSettings;
    INotebook& notebook = fParts->notebook;
    const Settings::Attribute sized = Settings::autoPageSize;
    fParts->controlsPage = notebook.addLastPage(Settings("Controls", nullptr, sized), &controls);
    fParts->dataPageHandle = notebook.addLastPage(Settings("Data", nullptr, sized), &fParts->dataPage);
    fParts->documentPage =
        notebook.addLastPage(Settings("Document", nullptr, sized), &fParts->document);
    fParts->valuesPage =
        notebook.addLastPage(Settings("Values", nullptr, sized), &fParts->values.canvas);
}

void DemoNotebook::setDocument(IWindow& document)
{
    fParts->notebook.setWindow(fParts->documentPage, &document);
    fParts->document.hide();
}

void DemoNotebook::turnTo(Page page)
{
    Parts& parts = *fParts;
    const IPageHandle pages[] = {parts.controlsPage, parts.dataPageHandle, parts.documentPage,
                                 parts.valuesPage};
    parts.notebook.turnToPage(pages[static_cast<int>(page)]);
}

IWindow& DemoNotebook::valuesArea()
{
    return fParts->values.area;
}

void DemoNotebook::startAutoplay(unsigned int at, std::function<void()> onValues)
{
    fParts->onValues = std::move(onValues);
    SetTimer(fParts->frame.handle(), kValuesTimer, at, nullptr);
}
