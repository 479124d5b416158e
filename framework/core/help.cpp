// The help command's topic: "file::/topic" split, the file found, and handed to the backend's
// viewer.
#include <filesystem>
#include <string>

#include "framework/core/backend.h"
#include "framework/core/system.h"

namespace fw {
namespace {

// The file from the current directory first, as the program names it; when there is none there,
// the one installed with the program. When neither exists the name stays as it was, and the
// viewer finds nothing.
std::string HelpFileToOpen(const std::string& file)
{
    std::error_code error;
    if (file.empty() || std::filesystem::path(file).is_absolute() || std::filesystem::exists(file, error))
        return file;
    const std::string installed = InstalledFilePath(file.c_str());
    if (!installed.empty() && std::filesystem::exists(installed, error))
        return installed;
    return file;
}

} // namespace

void* HtmlHelpA(void* /*owner*/, const char* fileAndTopic, UINT command, std::uintptr_t /*data*/)
{
    // The backend shows help: the native one hands the request on to the platform's viewer,
    // the headless one records it. Without a backend there is no viewer, and nothing is said.
    Backend* backend = GetBackend();
    if (backend == nullptr || fileAndTopic == nullptr || command != HH_DISPLAY_TOPIC)
        return nullptr;
    std::string file = fileAndTopic;
    std::string topic;
    if (const size_t sep = file.find("::"); sep != std::string::npos) {
        topic = file.substr(sep + 2);
        file.resize(sep);
        while (!topic.empty() && (topic.front() == '/' || topic.front() == '\\'))
            topic.erase(topic.begin());
    }
    file = HelpFileToOpen(file);
    return backend->ShowHelp(file.c_str(), topic.c_str()) ? reinterpret_cast<void*>(1) : nullptr;
}

} // namespace fw
