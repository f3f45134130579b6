// A frame holding a tool bar of three buttons (101, 102, 103) above a static text client, for the
// tests that drag tool bar buttons.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <iapp.hpp>
#include <iframe.hpp>
#include <ireslib.hpp>
#include <istattxt.hpp>
#include <itbar.hpp>
#include <itbarbut.hpp>

#include <ovktest.hpp>

namespace dragtest {

class ToolBarFrame {
public:
    // The frame is hidden; the test places and shows it. The last button takes `lastStyle`.
    ToolBarFrame(const char* title,
                 const IToolBarButton::Style& lastStyle = IToolBarButton::defaultStyle())
    {
        frame = std::make_unique<IFrameWindow>(
            IResourceId(0, IApplication::current().userResourceLibrary()), nullptr, nullptr,
            IRectangle(0, 0, 100, 100), IFrameWindow::_titleBar, title);
        client = std::make_unique<IStaticText>(50, frame.get(), frame.get());
        frame->setClient(client.get());
        bar = std::make_unique<IToolBar>(1, frame.get(), IToolBar::aboveClient);
        for (unsigned long id : {101UL, 102UL, 103UL}) {
            buttons.push_back(std::make_unique<IToolBarButton>(
                id, bar.get(), bar.get(), IRectangle(),
                id == 103 ? lastStyle : IToolBarButton::defaultStyle()));
            bar->addAsLast(buttons.back().get());
        }
    }
    // Buttons before their tool bar, the tool bar and client before their frame; what their
    // destruction posts is dispatched before the next test.
    ~ToolBarFrame()
    {
        buttons.clear();
        bar.reset();
        client.reset();
        frame.reset();
        ovktest::pumpPending();
    }
    ToolBarFrame(const ToolBarFrame&) = delete;
    ToolBarFrame& operator=(const ToolBarFrame&) = delete;

    // The buttons' ids in the tool bar's order: "101 102 103".
    std::string listed() const
    {
        std::string ids;
        IToolBar::WindowCursor cursor(*bar);
        for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
            ids += (ids.empty() ? "" : " ") + std::to_string(bar->windowAt(cursor)->id());
        return ids;
    }

    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<IStaticText> client;
    std::unique_ptr<IToolBar> bar;
    std::vector<std::unique_ptr<IToolBarButton>> buttons;
};

} // namespace dragtest
