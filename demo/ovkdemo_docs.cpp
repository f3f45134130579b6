// The demo's documents: split panes with a text and a picture scrolled in a view port.
#include <windows.h>

#include <cstdio>

#include <ovkwin.hpp>

#include "ovkdemo.h"

namespace {

constexpr unsigned long kOuterSplit = 500, kStack = 501, kTextPane = 502, kViewPort = 503;
constexpr unsigned long kPicture = 504;
constexpr unsigned long kTextShare = 30;

} // namespace

struct DemoDocuments::Parts {
    Parts(IWindow& parent, const char* picture)
        : outer(kOuterSplit, &parent, &parent),
          stack(kStack, &outer, &outer, IRectangle(),
                ISplitCanvas::horizontalSplitBars | IWindow::visible),
          placeholder(std::make_unique<IStaticText>(kTextPane, &stack, &stack)),
          viewPort(kViewPort, &stack, &stack),
          view(kPicture, &viewPort, &viewPort)
    {
        placeholder->setText("ovkdemo.bmp at four times its size: drag the bars, or click the "
                             "picture and use the arrow and page keys.");
        placeholder->setAlignment(IStaticText::topLeftWrapped);
        placeholder->setFillColor(IColor(IColor::white));
        text = placeholder.get();
        try {
            bitmap = std::make_unique<IGBitmap>(IString(picture));
            const ISize size = bitmap->size();
            bitmap->sizeTo(ISize(4 * size.width(), 4 * size.height()));
            graphics.addAsLast(*bitmap);
            view.sizeTo(bitmap->size());
        } catch (const IException& failure) {
            std::fprintf(stderr, "%s: %s\n", picture, failure.what());
            view.sizeTo(ISize(640, 400));
        }
        view.setGraphicList(&graphics);
        stack.setSplitWindowPercentage(text, kTextShare);
        stack.setSplitWindowPercentage(&viewPort, 100 - kTextShare);
    }
    ~Parts() { view.setGraphicList(nullptr); }

    ISplitCanvas outer;
    ISplitCanvas stack;
    std::unique_ptr<IStaticText> placeholder;
    IWindow* text = nullptr;
    IViewPort viewPort;
    IGraphicCanvas view;
    std::unique_ptr<IGBitmap> bitmap;
    IGList graphics;
};

DemoDocuments::DemoDocuments(IWindow& parent, const char* picture, IWindow* firstPane)
    : fParts(std::make_unique<Parts>(parent, picture))
{
    ISplitCanvas& outer = fParts->outer;
    if (firstPane) {
        firstPane->setParent(&outer);
        // The split canvas places its children in child order: the first pane goes first.
        SetWindowPos(firstPane->handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        outer.setSplitWindowPercentage(firstPane, 60);
        outer.setSplitWindowPercentage(&fParts->stack, 40);
    }
}

DemoDocuments::~DemoDocuments() = default;

IWindow& DemoDocuments::canvas()
{
    return fParts->outer;
}

IWindow& DemoDocuments::textPane()
{
    return *fParts->text;
}

void DemoDocuments::setTextPane(IWindow& pane)
{
    ISplitCanvas& stack = fParts->stack;
    pane.setParent(&stack);
    // The stack places its panes in child order: the text goes above the view port.
    SetWindowPos(pane.handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    stack.setSplitWindowPercentage(&pane, kTextShare);
    fParts->placeholder.reset();
    fParts->text = &pane;
}
