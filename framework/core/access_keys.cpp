// The application's access keys and the marker rule.
#include "framework/core/access_keys.h"

#include <cctype>
#include <vector>

#include "framework/core/wintypes.h"

namespace fw {
namespace {

std::vector<AccessKey>& Keys()
{
    static std::vector<AccessKey> keys;
    return keys;
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWord(std::string_view text, std::size_t at)
{
    return at == 0 || !std::isalnum(static_cast<unsigned char>(text[at - 1]));
}

} // namespace

void SetAccessKeys(std::span<const AccessKey> keys) { Keys().assign(keys.begin(), keys.end()); }

char FindAccessKey(int dialogId, int controlId)
{
    // Texts without an identifier share IDC_STATIC: a label is reached through its control.
    if (controlId == IDC_STATIC)
        return 0;
    for (const AccessKey& key : Keys())
        if (key.dialogId == dialogId && key.controlId == controlId)
            return key.key;
    return 0;
}

std::string MarkAccessKey(std::string_view caption, char key)
{
    if (key == 0)
        return std::string(caption);
    std::size_t at = std::string_view::npos;
    for (std::size_t i = 0; i < caption.size() && at == std::string_view::npos; ++i)
        if (Lower(caption[i]) == Lower(key) && StartsWord(caption, i))
            at = i;
    for (std::size_t i = 0; i < caption.size() && at == std::string_view::npos; ++i)
        if (Lower(caption[i]) == Lower(key))
            at = i;
    if (at == std::string_view::npos)
        return std::string(caption);
    std::string marked;
    marked.reserve(caption.size() + 2);
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (i == at)
            marked += '&';
        if (caption[i] == '&')
            marked += '&';
        marked += caption[i];
    }
    return marked;
}

} // namespace fw
