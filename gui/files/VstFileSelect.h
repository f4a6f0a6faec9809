// The file selection records of the VST 2.x interface: a request that the caller fills and
// owns, handed to the host's file selector or to the toolkit's FileChooser.
#pragma once

#include <cstring>
#include <string>

#include "host/VstInterface.h"

enum VstFileSelectCommand : VstInt32 {
    kVstFileLoad = 0,
    kVstFileSave,
    kVstMultipleFilesLoad,
    kVstDirectorySelect,
};

enum VstFileSelectType : VstInt32 { kVstFileType = 0 };

struct VstFileType {
    char name[128];
    char macType[8];
    char dosType[8];
    char unixType[8];
    char mimeType1[128];
    char mimeType2[128];
};

struct VstFileSelect {
    VstInt32 command;  // a VstFileSelectCommand
    VstInt32 type;     // a VstFileSelectType
    VstInt32 macCreator;
    VstInt32 nbFileTypes;
    VstFileType* fileTypes;
    char title[1024];
    char* initialPath;
    char* returnPath;  // caller's buffer, or null to have one allocated
    VstInt32 sizeReturnPath;
    char** returnMultiplePaths;
    VstInt32 nbReturnPath;
    VstIntPtr reserved;  // 1 while returnPath is the selector's own allocation
    char future[116];
};

// A text field of the records; a careless caller may fill it to the brim without a zero.
template <std::size_t size>
std::string fieldText(const char (&field)[size])
{
    return std::string(field, strnlen(field, size));
}

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(VstFileType) == 408);
static_assert(sizeof(VstFileSelect) == 1184);
#endif
