#include "gui/files/FileFilter.h"

#include <algorithm>
#include <vector>

namespace kelp {

namespace {

    constexpr std::size_t maxDistinctPatterns = 100;

    void addPair(std::string& list, const std::string& display, const std::string& pattern)
    {
        list += display;
        list += '\0';
        list += pattern;
        list += '\0';
    }

    void collect(std::vector<std::string>& distinct, const std::string& pattern)
    {
        if (distinct.size() < maxDistinctPatterns &&
            std::find(distinct.begin(), distinct.end(), pattern) == distinct.end())
            distinct.push_back(pattern);
    }

    std::string joined(const std::vector<std::string>& patterns)
    {
        std::string all;
        for (const std::string& pattern : patterns)
            all += (all.empty() ? "" : ";") + pattern;
        return all;
    }

}  // namespace

std::string FileFilter::forLoading(const VstFileType* types, VstInt32 count)
{
    std::string list;
    std::vector<std::string> distinct;
    for (VstInt32 i = 0; types && i < count; ++i) {
        const std::string dos = fieldText(types[i].dosType);
        const std::string unixExtension = fieldText(types[i].unixType);
        std::string pattern = "*." + dos;
        collect(distinct, pattern);
        if (!unixExtension.empty() && unixExtension != dos) {
            pattern += ";*." + unixExtension;
            collect(distinct, "*." + unixExtension);
        }
        addPair(list, fieldText(types[i].name) + " (." + dos + ")", pattern);
    }
    if (distinct.size() > 1)
        addPair(list, "All Types: (" + joined(distinct) + ")", joined(distinct));
    addPair(list, "Any Type (*.*)", "*.*");
    return list + '\0';
}

std::string FileFilter::forSaving(const VstFileType* types, VstInt32 count)
{
    std::string list;
    for (VstInt32 i = 0; types && i < count; ++i) {
        const std::string dos = fieldText(types[i].dosType);
        if (!dos.empty())
            addPair(list, fieldText(types[i].name) + " (." + dos + ")", "*." + dos);
    }
    return list.empty() ? list : list + '\0';
}

std::string FileFilter::forFolders()
{
    std::string list;
    addPair(list, "HideFileFilter", "*.___");
    return list + '\0';
}

}  // namespace kelp
