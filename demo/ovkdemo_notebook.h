// The demo's notebook: the frame's client, a native tab control with the pages "Controls",
// "Data", "Document" and "Values".
#pragma once

#include <functional>
#include <memory>

class IFrameWindow;
class IMultiCellCanvas;
class IWindow;

class DemoNotebook {
public:
    explicit DemoNotebook(IFrameWindow& frame);
    ~DemoNotebook();
    DemoNotebook(const DemoNotebook&) = delete;
    DemoNotebook& operator=(const DemoNotebook&) = delete;

    // The notebook window: the parent of every page window, and the frame's client.
    IWindow& window();
    // The "Data" page, a multi-cell canvas with margins of 10 pixels, for the windows the demo
    // puts on it.
    IMultiCellCanvas& dataPage();
    // Adds the four pages: "Controls" shows `controls`, "Document" a placeholder until the demo
    // has a document view, "Values" the spin buttons. The frame's title names the page on top.
    void addPages(IWindow& controls);
    // The document view takes the placeholder's page.
    void setDocument(IWindow& document);
    enum class Page { controls, data, document, values };
    void turnTo(Page page);
    // A plain window, valuesWidth by valuesHeight, on "Values" below the spin buttons, for
    // windows placed on it by their own rectangles.
    IWindow& valuesArea();
    static constexpr long valuesWidth = 600, valuesHeight = 120;
    // In an unattended run, `at` ms from now (and after any open menu): turns to "Values",
    // spins, runs `onValues`, asks for the screenshot "values" and turns back to the page that
    // was on top.
    void startAutoplay(unsigned int at, std::function<void()> onValues = {});

private:
    struct Parts;
    std::unique_ptr<Parts> fParts;
};
