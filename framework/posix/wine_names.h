// File names as a Windows program under Wine opens them: DOS paths over the drives of a Wine
// prefix, and the way back from a Linux path to the DOS path Wine gives the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fw::posix {

class WineNames {
public:
    // The view of a program whose current folder is `folder` (an absolute Linux path), under
    // the Wine prefix `prefix`. Nothing is read until a name is looked up, and every look-up
    // reads the prefix afresh.
    WineNames(std::string prefix, std::string folder);

    // The Linux path of the file the program opens under `name` (UTF-8, the program's code
    // page already converted). Empty when the name leads to no file; `why` then says more when
    // there is more to say than "not found": a drive Wine lacks, a network or device name, a
    // character Windows refuses in file names.
    std::string LocalPath(std::string_view name, std::string* why = nullptr) const;

    // The DOS path Wine gives the program for an absolute Linux path (the file need not exist,
    // its folder must): the drive whose root is the path's nearest folder, the lowest letter
    // where several are, then the rest of the path. Nothing when no drive leads there.
    std::optional<std::string> DosPath(const std::string& localPath) const;

    // The program's current folder as a DOS path ("Z:\home\u\game"); C:\windows, as Wine starts
    // there, when no drive leads to the folder.
    std::string CurrentFolder() const;

    const std::string& Prefix() const { return m_prefix; }
    const std::string& Folder() const { return m_folder; }

private:
    // The Linux folder drive `letter` (a to z) stands for, whether it exists or not; empty when
    // the prefix has no such drive.
    std::string DriveRoot(char letter) const;
    std::string Lookup(const std::string& root, std::string_view dosRest) const;

    std::string m_prefix;
    std::string m_folder;
};

// Compares two names as Wine does: UTF-16 units folded to upper case by the Unicode table,
// whatever the locale (under tr_TR, "i" still matches "I").
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace fw::posix
