// The program's resources, as the program handed them to the framework.
#include "framework/core/dialog_template.h"

namespace fw {
namespace {

ResourceTables g_tables;

} // namespace

void UseResourceTables(const ResourceTables& tables) { g_tables = tables; }

const DialogTemplate* FindDialogTemplate(int id)
{
    return g_tables.findDialog != nullptr ? g_tables.findDialog(id) : nullptr;
}

std::span<const BYTE> FindBitmapResource(int id)
{
    return g_tables.findBitmap != nullptr ? g_tables.findBitmap(id) : std::span<const BYTE>();
}

} // namespace fw
