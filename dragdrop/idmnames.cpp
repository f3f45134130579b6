// The names of drag types, rendering mechanisms and rendering formats.
#include "idmnames.hpp"

const char* const IDMNames::any = "Any";
const char* const IDMNames::binary = "Binary";
const char* const IDMNames::binaryData = "BinaryData";
const char* const IDMNames::bitmap = "Bitmap";
const char* const IDMNames::container = "Container";
const char* const IDMNames::containerObject = "Container Object";
const char* const IDMNames::file = "File";
const char* const IDMNames::icon = "ICon";
const char* const IDMNames::menuItem = "Menuitem";
const char* const IDMNames::plainText = "Text";
const char* const IDMNames::text = "Text";
const char* const IDMNames::toolBarButton = "ToolBarButton";
const char* const IDMNames::unknown = "Unknown";

const char* const IDMNames::rmFile = "DRM_TARVOSFILE";
const char* const IDMNames::rmObject = "DRM_OBJECT";
const char* const IDMNames::rmDiscard = "DRM_DISCARD";
const char* const IDMNames::rmPrint = "DRM_PRINT";
const char* const IDMNames::rmLibrary = "DRM_KestaUI";
const char* const IDMNames::rmNone = "";

const char* const IDMNames::rfUnknown = "DRF_UNKNOWN";
const char* const IDMNames::rfText = "DRF_TEXT";
const char* const IDMNames::rfProcess = "DRF_PROCESS";
const char* const IDMNames::rfSharedMemory = "DRF_SHAREDMEM";
const char* const IDMNames::rfObject = "DRF_OBJECT";
const char* const IDMNames::rfNone = "";
