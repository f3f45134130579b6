// The demo's containers: the files of the demo's folder.
#pragma once

#include <memory>

class ICnrCtl;

// The files of the demo's folder as container objects with their shell icons: all of them in
// a details view with columns for the icon, name, type, size, date and time of each file, and
// copies of them in a tree view, under one parent per file type (so that a file dragged from
// the list is new to the tree, and moves there). Objects of one type share one icon, and so one
// image in each container.
class FolderObjects {
public:
    FolderObjects(ICnrCtl& details, ICnrCtl& tree);
    ~FolderObjects();
    FolderObjects(const FolderObjects&) = delete;
    FolderObjects& operator=(const FolderObjects&) = delete;

private:
    struct Parts;
    std::unique_ptr<Parts> fParts;
};
