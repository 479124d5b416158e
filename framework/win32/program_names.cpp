// On Windows the engine opens names as the launcher does: every name is the platform's.
#include "framework/core/program_names.h"

namespace fw {

void UseFileNamesOf(const char*) {}

bool FileNamesAreThePlatforms() { return true; }

std::string PathOfProgramFile(const char* name, std::string*) { return name != nullptr ? name : ""; }

std::optional<std::string> ProgramNameOfFile(const char* path, std::string*)
{
    return path != nullptr ? std::optional<std::string>(path) : std::nullopt;
}

std::optional<std::string> ToProgramText(std::string_view text) { return std::string(text); }

std::string FromProgramText(std::string_view bytes) { return std::string(bytes); }

unsigned ProgramCodePage() { return 0; }

} // namespace fw
