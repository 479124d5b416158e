// DOS paths to Linux paths and back, as Wine resolves them for the programs it runs.
#include "framework/posix/wine_names.h"

#include <dirent.h>
#include <locale.h>
#include <sys/stat.h>
#include <wctype.h>

#include <array>
#include <cctype>
#include <filesystem>
#include <vector>

namespace fw::posix {
namespace {

// A folder holding more entries than this is not searched for a name in other letter case:
// the preview looks names up on every key the user types.
constexpr std::size_t kMostEntriesSearched = 100000;
// The longest name of one folder entry Windows and Wine know, in UTF-16 units.
constexpr std::size_t kLongestEntry = 255;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string Join(const std::string& folder, std::string_view name)
{
    return folder.ends_with('/') ? folder + std::string(name) : folder + "/" + std::string(name);
}

bool IsDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Exists(const std::string& path, struct stat* st = nullptr)
{
    struct stat local {};
    return ::stat(path.c_str(), st != nullptr ? st : &local) == 0;
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return Exists(path, &st) && S_ISDIR(st.st_mode);
}

std::vector<std::string_view> Split(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A DOS path "X:\a\b" with '.' and '..' taken out (never above the drive's root), the last dot
// of each folder's name dropped and trailing spaces and dots removed, as Windows does.
std::string Collapse(std::string_view drive, std::string_view rest)
{
    std::vector<std::string> kept;
    const std::vector<std::string_view> parts = Split(rest);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string_view part = parts[i];
        if (part == ".")
            continue;
        if (part == "..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        std::string name(part);
        if (i + 1 < parts.size() && name.back() == '.')
            name.pop_back();
        kept.push_back(std::move(name));
    }
    std::string path = std::string(drive) + "\\";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            path += '\\';
        path += kept[i];
    }
    while (path.size() > 3 && (path.back() == ' ' || path.back() == '.'))
        path.pop_back();
    return path;
}

// Whether the last part of a DOS path names a device (NUL, CON, COM1, LPT1, ...), which no
// file of that name can be opened as.
bool IsDeviceName(std::string_view path)
{
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1]) && path[start - 1] != ':')
        --start;
    std::string_view base = path.substr(start);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == ':'))
        base.remove_suffix(1);
    std::string upper;
    for (const char c : base)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "AUX" || upper == "CON" || upper == "NUL" || upper == "PRN")
        return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
           upper[3] <= '9';
}

bool HasRefusedCharacter(std::string_view path)
{
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("*?<>|\"").find(c) != std::string_view::npos)
            return true;
    return false;
}

// Code points of UTF-8 text; a byte that starts no valid sequence stands for U+FFFD, as Wine
// reads it.
std::vector<char32_t> CodePoints(std::string_view text)
{
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80             ? 1
                             : (lead & 0xE0) == 0xC0 ? 2
                             : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4
                                                     : 0;
        char32_t point = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            point = (point << 6) | (next & 0x3F);
        }
        if (!valid) {
            points.push_back(0xFFFD);
            ++i;
            continue;
        }
        points.push_back(point);
        i += length;
    }
    return points;
}

std::size_t Utf16Length(const std::vector<char32_t>& points)
{
    std::size_t units = 0;
    for (const char32_t point : points)
        units += point > 0xFFFF ? 2 : 1;
    return units;
}

char32_t Upper(char32_t point)
{
    // The C.UTF-8 locale folds by the Unicode table alone, whatever the user's locale is.
    static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (point > 0xFFFF)
        return point;
    if (unicode == nullptr)
        return point >= 'a' && point <= 'z' ? point - 'a' + 'A' : point;
    return static_cast<char32_t>(::towupper_l(static_cast<wint_t>(point), unicode));
}

} // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    const std::vector<char32_t> left = CodePoints(a);
    const std::vector<char32_t> right = CodePoints(b);
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i)
        if (left[i] != right[i] && Upper(left[i]) != Upper(right[i]))
            return false;
    return true;
}

WineNames::WineNames(std::string prefix, std::string folder) : m_prefix(std::move(prefix)), m_folder(std::move(folder))
{
}

std::string WineNames::DriveRoot(char letter) const
{
    letter = Lower(letter);
    const std::string devices = m_prefix + "/dosdevices";
    if (IsDirectory(devices)) {
        // The folder the link leads to, so that the paths found are the user's own.
        std::error_code error;
        const std::filesystem::path root = std::filesystem::canonical(devices + "/" + letter + ":", error);
        return error ? std::string() : root.string();
    }
    // A prefix Wine has not made yet gets these two drives when it is.
    if (letter == 'c')
        return m_prefix + "/drive_c";
    if (letter == 'z')
        return "/";
    return {};
}

std::optional<std::string> WineNames::DosPath(const std::string& localPath) const
{
    if (localPath.empty() || localPath.front() != '/')
        return std::nullopt;
    std::string path = std::filesystem::path(localPath).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::array<struct stat, 26> drives{};
    std::array<bool, 26> present{};
    for (int i = 0; i < 26; ++i) {
        const std::string root = DriveRoot(static_cast<char>('a' + i));
        present[i] = !root.empty() && Exists(root, &drives[i]);
    }
    std::string folder = path;
    for (;;) {
        struct stat st {};
        if (Exists(folder, &st) && S_ISDIR(st.st_mode)) {
            for (int i = 0; i < 26; ++i) {
                if (present[i] && drives[i].st_dev == st.st_dev && drives[i].st_ino == st.st_ino) {
                    std::string rest = path.substr(folder == "/" ? 1 : folder.size());
                    while (!rest.empty() && rest.front() == '/')
                        rest.erase(0, 1);
                    for (char& c : rest)
                        if (c == '/')
                            c = '\\';
                    return std::string(1, static_cast<char>('A' + i)) + ":\\" + rest;
                }
            }
        }
        if (folder == "/")
            return std::nullopt;
        const std::size_t slash = folder.find_last_of('/');
        folder = slash == 0 ? std::string("/") : folder.substr(0, slash);
    }
}

std::string WineNames::CurrentFolder() const { return DosPath(m_folder).value_or("C:\\windows"); }

std::string WineNames::Lookup(const std::string& root, std::string_view dosRest) const
{
    const std::vector<std::string_view> parts = Split(dosRest);
    std::string exact = root;
    for (const std::string_view part : parts)
        exact = Join(exact, part);
    if (Exists(exact))
        return exact;
    std::string path = root;
    for (const std::string_view part : parts) {
        if (Utf16Length(CodePoints(part)) > kLongestEntry)
            return {};
        const std::string candidate = Join(path, part);
        if (Exists(candidate)) {
            path = candidate;
            continue;
        }
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr)
            return {};
        std::string found;
        std::size_t seen = 0;
        while (const dirent* entry = ::readdir(dir)) {
            if (++seen > kMostEntriesSearched)
                break;
            if (SameNameIgnoringCase(entry->d_name, part)) {
                found = entry->d_name;
                break;
            }
        }
        ::closedir(dir);
        if (found.empty())
            return {};
        path = Join(path, found);
    }
    return Exists(path) ? path : std::string();
}

std::string WineNames::LocalPath(std::string_view name, std::string* why) const
{
    if (name.find_first_not_of(' ') == std::string_view::npos)
        return {};
    const bool rooted = IsSeparator(name[0]);
    if (rooted && name.size() > 1 && IsSeparator(name[1])) {
        if (why != nullptr)
            *why = "a network or device name, not a file Wine opens";
        return {};
    }
    // A leading '/' is first taken as a Linux path, where its folder exists.
    if (name[0] == '/') {
        std::string unixPath;
        for (const std::string_view part : Split(name))
            unixPath += "/" + std::string(part);
        const std::string normal = std::filesystem::path(unixPath.empty() ? "/" : unixPath).lexically_normal().string();
        if (IsDirectory(std::filesystem::path(normal).parent_path().string()))
            if (const std::optional<std::string> dos = DosPath(normal))
                return LocalPath(*dos, why);
    }
    const std::string current = CurrentFolder();
    std::string full;
    if (rooted) {
        full = Collapse(current.substr(0, 2), name);
    } else if (name.size() >= 2 && name[1] == ':' && IsDriveLetter(name[0])) {
        const std::string_view rest = name.substr(2);
        if (!rest.empty() && IsSeparator(rest[0]))
            full = Collapse(name.substr(0, 2), rest);
        else if (Lower(name[0]) == Lower(current[0]))
            full = Collapse(current.substr(0, 2), current.substr(3) + "\\" + std::string(rest));
        else
            full = Collapse(name.substr(0, 2), rest);
    } else {
        full = Collapse(current.substr(0, 2), current.substr(3) + "\\" + std::string(name));
    }
    if (HasRefusedCharacter(full)) {
        if (why != nullptr)
            *why = "a name with a character Windows does not allow in file names";
        return {};
    }
    if (IsDeviceName(full)) {
        if (why != nullptr)
            *why = "a device name, not a file";
        return {};
    }
    const std::string root = DriveRoot(full[0]);
    if (root.empty()) {
        if (why != nullptr)
            *why = std::string("Wine has no drive ") + static_cast<char>(std::toupper(full[0])) + ":";
        return {};
    }
    return Lookup(root, std::string_view(full).substr(3));
}

} // namespace fw::posix
