// The demo's container events: a context menu that sorts, objects that open, names edited in
// place.
#pragma once

#include <memory>

class ICnrCtl;

// Attaches the demo's container handlers to a container for as long as it lives.
class ContainerEvents {
public:
    explicit ContainerEvents(ICnrCtl& container);
    ~ContainerEvents();
    ContainerEvents(const ContainerEvents&) = delete;
    ContainerEvents& operator=(const ContainerEvents&) = delete;

    // What the autoplay does before the screenshot: sorts by name, descending, opens the first
    // object and renames the second in place; then the picture "containers" shows it.
    void play();

private:
    void showInPicture(ICnrCtl& container);

    struct Parts;
    std::unique_ptr<Parts> fParts;
};

// The autoplay's step for the container that has the demo's events, if one lives.
void playContainerEvents();
