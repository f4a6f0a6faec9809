// The filter lists of the system's file dialogs: pairs of zero-terminated texts (what the
// type list shows, the patterns it applies), the whole list ending with an extra zero.
#pragma once

#include <string>

#include "gui/files/VstFileSelect.h"

namespace kelp {

class FileFilter {
public:
    // One pair per type, a pair of all their patterns when there are several, then "*.*".
    static std::string forLoading(const VstFileType* types, VstInt32 count);
    // One pair per type that has a DOS extension; empty when none has.
    static std::string forSaving(const VstFileType* types, VstInt32 count);
    // A pattern that matches no file, so that only folders are listed.
    static std::string forFolders();
};

}  // namespace kelp
