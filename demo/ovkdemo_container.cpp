// The demo's containers: a details view of the files of the demo's folder, with columns of
// texts, numbers, dates and times that the container formats by the user's international
// settings, and a tree of the same files by type.
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <ovkwin.hpp>

#include "ovkdemo_container.h"

namespace {

// A file: its name and icon in the record, the rest in fields of its own that the columns
// read.
class FileObject : public ICnrObj {
public:
    FileObject(HICON icon, const std::string& name, const char* type, const WIN32_FIND_DATAA& found)
        : ICnrObj(IPointerHandle(icon), name.c_str()), type(type), size(found.nFileSizeLow)
    {
        FILETIME local{};
        SYSTEMTIME when{};
        FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &when);
        date = CNR_DATE{static_cast<std::uint8_t>(when.wDay), static_cast<std::uint8_t>(when.wMonth),
                        when.wYear};
        time = CNR_TIME{static_cast<std::uint8_t>(when.wHour), static_cast<std::uint8_t>(when.wMinute),
                        static_cast<std::uint8_t>(when.wSecond), 0};
    }

    // A copy dragged into another container keeps the fields the columns read.
    ICnrObj* objectCopy() override { return new FileObject(*this); }

    // Where a field lies in the object, as a column counts it.
    template <class Field>
    unsigned long offsetOf(const Field& field) const
    {
        return static_cast<unsigned long>(reinterpret_cast<const char*>(&field) -
                                          reinterpret_cast<const char*>(static_cast<const ICnrObj*>(this)));
    }

    const char* type;
    std::uint32_t size;
    CNR_DATE date{};
    CNR_TIME time{};
};

std::string demoFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, length);
    return file.substr(0, file.find_last_of("\\/") + 1);
}

} // namespace

struct FolderObjects::Parts {
    ~Parts()
    {
        // The files go first, wherever a drag put them: deleting a parent that still has them
        // deletes them too.
        for (auto at = objects.rbegin(); at != objects.rend(); ++at)
            if (!isParent(*at))
                delete *at;
        for (auto at = parents.rbegin(); at != parents.rend(); ++at)
            delete *at;
        for (auto& [type, icon] : typeIcons)
            if (icon)
                DestroyIcon(icon);
    }

    // The shell's type name ("Application", "Bitmap image", ...), and its icon once per type.
    const std::string& typeOf(const std::string& path)
    {
        SHFILEINFOA info{};
        SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_TYPENAME);
        const std::string type = info.szTypeName[0] ? info.szTypeName : "File";
        if (!typeIcons.count(type)) {
            SHFILEINFOA icon{};
            SHGetFileInfoA(path.c_str(), 0, &icon, sizeof icon, SHGFI_ICON | SHGFI_LARGEICON);
            typeIcons[type] = icon.hIcon;
        }
        return typeIcons.find(type)->first;
    }

    template <class Object>
    Object* keep(Object* object)
    {
        objects.push_back(object);
        return object;
    }

    // A column with a heading and, for the data columns, a width of its own.
    IContainerColumn* column(std::unique_ptr<IContainerColumn> made, const char* heading,
                             unsigned long width = 0)
    {
        made->setHeadingText(heading);
        if (width)
            made->setDisplayWidth(width);
        columns.push_back(std::move(made));
        return columns.back().get();
    }

    ICnrObj* keepParent(ICnrObj* parent)
    {
        parents.push_back(parent);
        return parent;
    }

    bool isParent(const ICnrObj* object) const
    {
        for (const ICnrObj* parent : parents)
            if (parent == object)
                return true;
        return false;
    }

    std::vector<ICnrObj*> objects;
    std::vector<ICnrObj*> parents;
    // Keyed by type name: the objects point at the keys, which stay where they are.
    std::map<std::string, HICON> typeIcons;
    std::vector<std::unique_ptr<IContainerColumn>> columns;
};

FolderObjects::FolderObjects(ICnrCtl& details, ICnrCtl& tree) : fParts(std::make_unique<Parts>())
{
    Parts& parts = *fParts;
    const std::string folder = demoFolder();
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    std::map<std::string, std::vector<FileObject*>> byType;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string& type = parts.typeOf(folder + found.cFileName);
        byType[type].push_back(
            parts.keep(new FileObject(parts.typeIcons[type], found.cFileName, type.c_str(), found)));
    } while (FindNextFileA(search, &found));
    FindClose(search);

    // The columns read the fields of any file object at the same offsets.
    using Column = IContainerColumn;
    const FileObject& sample = *byType.begin()->second.front();
    const Column::HeadingStyle heading = Column::defaultHeadingStyle();
    const Column::HeadingStyle rightHeading =
        (heading & ~Column::HeadingStyle::left) | Column::HeadingStyle::right;
    const Column::DataStyle data = Column::defaultDataStyle() & ~Column::DataStyle::string;
    const Column::DataStyle right = (data & ~Column::DataStyle::left) | Column::DataStyle::right;
    details.addColumn(parts.column(std::make_unique<Column>(Column::DataSource::icon), ""));
    details.addColumn(parts.column(std::make_unique<Column>(Column::DataSource::iconText), "Name", 105));
    details.addColumn(parts.column(std::make_unique<Column>(sample.offsetOf(sample.type)), "Type", 70));
    details.addColumn(parts.column(
        std::make_unique<Column>(sample.offsetOf(sample.size), rightHeading, right | Column::DataStyle::number),
        "Size", 65));
    details.addColumn(parts.column(
        std::make_unique<Column>(sample.offsetOf(sample.date), heading, data | Column::DataStyle::date),
        "Date", 75));
    details.addColumn(parts.column(
        std::make_unique<Column>(sample.offsetOf(sample.time), heading, data | Column::DataStyle::time),
        "Time", 70));
    details.showDetailsView();

    // The tree holds copies of its own: a file of the list is new to it, so that a drag moves
    // it there.
    for (const auto& [type, files] : byType) {
        ICnrObj* parent =
            parts.keepParent(new ICnrObj(IPointerHandle(parts.typeIcons[type]), type.c_str()));
        tree.addObject(parent);
        for (FileObject* file : files) {
            details.addObject(file);
            tree.addObject(parts.keep(new FileObject(*file)), parent);
        }
        tree.expand(parent);
    }
}

FolderObjects::~FolderObjects() = default;
