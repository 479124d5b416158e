// `sandrel --check`: the reader's messages and the tabs' own checks, run on the headless backend
// so that every check stays written once, in the page that makes it.
#include "app/settings_check.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "app/launcher_pages.h"
#include "framework/core/ddx.h"
#include "framework/headless/headless.h"
#include "settings/parameter_keys.h"

namespace {

struct Problem {
    std::optional<std::size_t> line; // none for a default the file does not set
    std::string setting;             // "KEY = value" as the reader saw it
    std::string message;
};

// Where each setting's value came from: the last line that set it, as the reader keeps it.
struct Source {
    std::size_t line = 0;
    std::string value;
};

std::string DefaultText(const ParameterInfo& info)
{
    switch (info.type) {
    case ParameterType::Int:
        return std::to_string(info.intDefault);
    case ParameterType::Float:
        return fw::FormatFloat(info.floatDefault).str();
    case ParameterType::String:
        break;
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

std::vector<std::string> MessagesForSetting(fw::headless::HeadlessBackend& backend, const ParameterTable& loaded,
                                            std::size_t index)
{
    CPropertySheet sheet("Sandrel", nullptr, 0);
    LauncherPages pages;
    FillForOneSetting(loaded, index, pages.Fields());
    pages.AddTo(sheet);
    backend.messages.clear();
    backend.sheetScript = VisitEveryTab;
    sheet.DoModal();
    return backend.MessageTexts();
}

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
        if (byte < 0x20 || byte == 0x7f) {
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

    // The messages of the checks go to the headless backend, which records them.
    fw::headless::HeadlessBackend backend;
    std::vector<Problem> problems;
    std::array<std::optional<Source>, ParameterTable::EntryCount> sources;
    // The reader's boxes stop after the first few; the observer sees every unknown key.
    ParameterTable loaded;
    const bool opened = loaded.load(path, [&](std::size_t line, const char* key, const char* value) {
        const std::int32_t index = loaded.findIndex(key);
        if (index != ParameterTable::NotFound)
            sources[static_cast<std::size_t>(index)] = Source{line, value};
        else
            problems.push_back({line, PrintableText(key) + " = " + PrintableText(value), kUnknownParameterMessage});
    });
    if (!opened) {
        std::fprintf(err, "sandrel: cannot read %s: %s\n", PrintableText(path, 256).c_str(), std::strerror(errno));
        return CheckUnreadable;
    }

    for (std::size_t i = 0; i < kParameters.size(); ++i) {
        const std::optional<Source>& source = sources[i];
        Problem problem;
        if (source)
            problem.line = source->line;
        problem.setting = std::string(kParameters[i].key) + " = " +
                          PrintableText(source ? source->value : DefaultText(kParameters[i])) +
                          (source ? "" : " (default)");
        for (std::string& message : MessagesForSetting(backend, loaded, i)) {
            problem.message = std::move(message);
            problems.push_back(problem);
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
