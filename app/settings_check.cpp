// `sandrel --check`: the reader's messages and the tabs' own checks, run on the headless backend
// so that every check stays written once, in the page that makes it; then what the launcher would
// write, and the bitmaps it would not find.
#include "app/settings_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/launcher_pages.h"
#include "bitmap/load_bitmap.h"
#include "framework/core/ddx.h"
#include "framework/core/program_names.h"
#include "framework/core/system.h"
#include "framework/headless/headless.h"
#include "settings/detail/c_numbers.h"
#include "settings/parameter_keys.h"
#include "settings/settings_file.h"

namespace {

struct Problem {
    std::optional<std::size_t> line; // none for a default the file does not set
    std::string setting;             // "KEY = value" as the reader saw it
    std::string message;
};

// Where each setting's value came from: the last line that set it.
struct Source {
    std::size_t line = 0;
    std::string value; // as the file holds it
};

// A line's value as the file holds it: what follows its first '=', without the spaces around it.
std::string ValueAsWritten(std::string_view line)
{
    const std::size_t equals = line.find('=');
    std::string_view value = equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    return std::string(value);
}

bool HoldsFileName(std::size_t index)
{
    return std::find(kFileNameRows.begin(), kFileNameRows.end(), index) != kFileNameRows.end();
}

std::string DefaultText(const ParameterInfo& info)
{
    switch (info.type) {
    case ParameterType::Int: return std::to_string(info.intDefault);
    case ParameterType::Float: return fw::FormatFloat(info.floatDefault).str();
    case ParameterType::String: break;
    }
    return info.textDefault;
}

// The pages of one check run: the defaults, every text emptied (an empty name shows no preview
// and an empty key binding passes), and the one setting under test as the launcher would show
// it. Only that setting can then raise a message.
void FillForOneSetting(const ParameterTable& loaded, std::size_t index, const PageFieldTable& fields)
{
    ParameterTable table;
    table.buildDefaults();
    char noText[] = "";
    ParameterValue empty{};
    empty.stringValue = noText; // the table stores a copy
    for (std::size_t i = 0; i < kParameters.size(); ++i)
        if (kParameters[i].type == ParameterType::String && i != index)
            table.setValue(kParameters[i].key, ParameterType::String, empty);
    table.setValue(kParameters[index].key, kParameters[index].type, loaded.valueAt(static_cast<std::int32_t>(index)));
    transferToPages(table, fields);
}

// The user's round: every tab opened in turn and left, then OK on the last one. Opening shows
// a tab's preview, leaving it runs its checks; a refused value keeps the tab, which ends the
// round.
void VisitEveryTab(fw::headless::Driver& user)
{
    for (int tab = 1; tab < user.Sheet().GetPageCount(); ++tab)
        if (!user.OpenTab(tab))
            return;
    user.PressOK();
}

// What one setting gives in the user's round: the tabs' messages, and the value as the writer
// would write it when the round ended with OK.
struct Outcome {
    std::vector<std::string> messages;
    std::optional<std::string> written;
};

// The value of the setting's line in the text the writer makes from the fields.
std::optional<std::string> WrittenValue(const PageFieldTable& fields, std::size_t index)
{
    std::string text;
    if (!formatSettingsValues(fieldValues(fields), text))
        return std::nullopt;
    const std::string start = std::string("\n") + kParameters[index].key + " = ";
    std::size_t at = text.find(start);
    if (at == std::string::npos)
        return std::nullopt;
    at += start.size();
    std::string value = text.substr(at, text.find('\n', at) - at);
#ifdef _WIN32
    value.pop_back(); // the CR of the line end
#endif
    return value;
}

Outcome PlaySetting(fw::headless::HeadlessBackend& backend, const ParameterTable& loaded, std::size_t index)
{
    CPropertySheet sheet("Sandrel", nullptr, 0);
    LauncherPages pages;
    FillForOneSetting(loaded, index, pages.Fields());
    pages.AddTo(sheet);
    backend.messages.clear();
    backend.sheetScript = VisitEveryTab;
    const std::intptr_t result = sheet.DoModal();
    Outcome outcome{backend.MessageTexts(), std::nullopt};
    if (result == IDOK)
        outcome.written = WrittenValue(pages.Fields(), index);
    return outcome;
}

// Whether the launcher writes the setting otherwise than the file says it: numbers by their
// value, read strictly (a flag of 2, an edge length the slider moves, "12abc"), texts byte for
// byte (a name that loses its spaces).
bool WrittenDifferently(const ParameterInfo& info, const std::string& inFile, const std::string& written)
{
    switch (info.type) {
    case ParameterType::Int: {
        int fromFile = 0;
        return !fw::ParseInt(inFile.c_str(), fromFile) ||
               fromFile != settings::detail::parseIntClamped(written.c_str());
    }
    case ParameterType::Float: {
        float fromFile = 0;
        return !fw::ParseFloat(inFile.c_str(), fromFile) ||
               fromFile != settings::detail::parseFloatClamped(written.c_str());
    }
    case ParameterType::String: break;
    }
    return inFile != written;
}

// Why the launcher would show "File Not Found" for a bitmap name, looked up as the engine opens
// it (from the current folder, or as a Windows engine under Wine does); nothing when the file is
// a bitmap it reads. Nothing but a regular file is opened.
std::optional<std::string> BitmapNotFound(const std::string& engineName)
{
    if (engineName.empty())
        return "no file named";
    std::string why;
    const std::string name = fw::PathOfProgramFile(engineName.c_str(), &why);
    if (name.empty())
        return why.empty() ? std::string("file not found") : "file not found: " + why;
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? std::string("file not found")
                                                   : std::string("can't be read: ") + std::strerror(errno);
    if (!S_ISREG(st.st_mode))
        return "not a regular file";
    const int fd = fw::OpenRegularFile(name.c_str());
    if (fd < 0)
        return std::string("can't be read: ") + std::strerror(errno);
    ::close(fd);
    CGdiObject* loaded = nullptr;
    const int code = LoadBitmapFile(name.c_str(), &loaded);
    if (loaded != nullptr)
        DeleteObject(static_cast<HBITMAP>(loaded->m_hObject));
    if (code == kBitmapFailed)
        return "not a bitmap the launcher can read";
    return std::nullopt;
}

// The checks look names up from the file's folder, as the launcher started there would; the
// process's own directory is back when this ends.
class InFolderOf {
public:
    explicit InFolderOf(const char* path)
    {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (folder.empty()) // a bare name lies in the current folder
            return;
        m_previous = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
        m_entered = m_previous >= 0 && ::chdir(folder.c_str()) == 0;
        if (!m_entered)
            m_error = errno;
    }
    ~InFolderOf()
    {
        if (m_previous < 0)
            return;
        if (m_entered && ::fchdir(m_previous) != 0)
            std::perror("sandrel: cannot return to the current folder");
        ::close(m_previous);
    }
    InFolderOf(const InFolderOf&) = delete;
    InFolderOf& operator=(const InFolderOf&) = delete;

    // 0 when the checks run in the file's folder, else why they cannot.
    int Error() const { return m_error; }

private:
    int m_previous = -1;
    bool m_entered = false;
    int m_error = 0;
};

std::string Location(const char* path, const Problem& problem)
{
    std::string where = PrintableText(path, 256);
    if (problem.line)
        where += ":" + std::to_string(*problem.line);
    return where;
}

} // namespace

std::string PrintableText(std::string_view text, std::size_t limit)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == limit) {
            shown += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        } else {
            shown += static_cast<char>(byte);
        }
    }
    return shown;
}

CheckResult CheckSettingsFile(const char* path, std::FILE* out, std::FILE* err)
{
    // Only a regular file is a settings file to check: what a FIFO or a device yields says nothing
    // about one.
    struct stat st {};
    if (::stat(path, &st) != 0) {
        std::fprintf(err, "sandrel: cannot read %s: %s\n", PrintableText(path, 256).c_str(), std::strerror(errno));
        return CheckUnreadable;
    }
    if (!S_ISREG(st.st_mode)) {
        std::fprintf(err, "sandrel: cannot read %s: not a regular file\n", PrintableText(path, 256).c_str());
        return CheckUnreadable;
    }

    // The names are looked up as the engine beside the file opens them.
    const std::filesystem::path engine = std::filesystem::path(path).parent_path() / "Quellmark.exe";
    fw::UseFileNamesOf(engine.c_str());

    // The messages of the checks go to the headless backend, which records them.
    fw::headless::HeadlessBackend backend;
    std::vector<Problem> problems;
    std::array<std::optional<Source>, ParameterTable::EntryCount> sources;
    // The reader's boxes stop after the first few; the observer sees every unknown key.
    ParameterTable loaded;
    const bool opened = loaded.load(path, [&](std::size_t line, const char* key, const char*, const char* lineText) {
        const std::int32_t index = loaded.findIndex(key);
        const std::string value = ValueAsWritten(lineText);
        if (index != ParameterTable::NotFound)
            sources[static_cast<std::size_t>(index)] = Source{line, value};
        else
            problems.push_back({line, PrintableText(key) + " = " + PrintableText(value), kUnknownParameterMessage});
    });
    if (!opened) {
        std::fprintf(err, "sandrel: cannot read %s: %s\n", PrintableText(path, 256).c_str(), std::strerror(errno));
        return CheckUnreadable;
    }

    const InFolderOf folder(path);
    if (folder.Error() != 0) {
        std::fprintf(err, "sandrel: cannot look up names from the folder of %s: %s\n", PrintableText(path, 256).c_str(),
                     std::strerror(folder.Error()));
        return CheckUnreadable;
    }
    for (std::size_t i = 0; i < kParameters.size(); ++i) {
        const ParameterInfo& info = kParameters[i];
        const std::optional<Source>& source = sources[i];
        Problem problem;
        if (source)
            problem.line = source->line;
        problem.setting = std::string(info.key) + " = " + PrintableText(source ? source->value : DefaultText(info)) +
                          (source ? "" : " (default)");
        Outcome outcome = PlaySetting(backend, loaded, i);
        const bool refusedOrWrongShape = !outcome.messages.empty();
        for (std::string& message : outcome.messages) {
            problem.message = std::move(message);
            problems.push_back(problem);
        }
        // A default is what the launcher writes; only what a line says can come out otherwise.
        if (source && outcome.written && WrittenDifferently(info, source->value, *outcome.written)) {
            problem.message = std::string("the launcher writes ") + info.key + " = " + *outcome.written;
            if (const char* reason = HoldsFileName(i) ? nameNotKeptReason(source->value.c_str()) : nullptr)
                problem.message = reason + ("; " + problem.message);
            problems.push_back(problem);
        }
        if (HoldsFileName(i) && !refusedOrWrongShape) {
            const ParameterValue name = loaded.valueAt(static_cast<std::int32_t>(i));
            if (std::optional<std::string> missing = BitmapNotFound(name.stringValue)) {
                problem.message = std::move(*missing);
                problems.push_back(problem);
            }
        }
    }

    // File order; the defaults, which no line sets, last.
    std::stable_sort(problems.begin(), problems.end(), [](const Problem& a, const Problem& b) {
        return a.line.value_or(SIZE_MAX) < b.line.value_or(SIZE_MAX);
    });
    for (const Problem& problem : problems)
        std::fprintf(out, "%s: %s: %s\n", Location(path, problem).c_str(), problem.setting.c_str(),
                     PrintableText(problem.message, 256).c_str());
    return problems.empty() ? CheckClean : CheckProblems;
}
