// The names of drag types, rendering mechanisms and rendering formats that every part of drag
// and drop speaks.
#pragma once

#include <idefs.hpp>

// One table of texts; names are compared as exact strings (only IDMItem::hasType searches
// inside a type list). The three empty names stand for "none".
class OVKWIN_API IDMNames {
public:
    // Types.
    static const char* const any;
    static const char* const binary;
    static const char* const binaryData;
    static const char* const bitmap;
    static const char* const container;
    static const char* const containerObject;
    static const char* const file;
    static const char* const icon;
    static const char* const menuItem;
    static const char* const plainText;
    static const char* const text;
    static const char* const toolBarButton;
    static const char* const unknown;

    // Rendering mechanisms.
    static const char* const rmFile;
    static const char* const rmObject;
    static const char* const rmDiscard;
    static const char* const rmPrint;
    static const char* const rmLibrary;
    static const char* const rmNone;

    // Rendering formats.
    static const char* const rfUnknown;
    static const char* const rfText;
    static const char* const rfProcess;
    static const char* const rfSharedMemory;
    static const char* const rfObject;
    static const char* const rfNone;
};
