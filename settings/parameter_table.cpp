// The parameter table: defaults, lookup, typed stores and the ownership of string copies.
#include "settings/parameter_table.h"

#include <cstring>

#include "settings/parameter_keys.h"

namespace {

char* copyText(const char* text)
{
    const std::size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

} // namespace

ParameterTable::~ParameterTable() { release(); }

void ParameterTable::buildDefaults()
{
    release();

    // Everything is allocated before m_count is set, so that a failed allocation leaves a table
    // that release() and every lookup still treat as empty.
    m_names = new const char*[EntryCount];
    m_entries = new ParameterEntry[EntryCount];
    for (int i = 0; i < EntryCount; ++i) {
        m_names[i] = kParameters[i].key;
        m_entries[i].type = ParameterType::Int;
        m_entries[i].value.stringValue = nullptr; // zeroes the whole union
    }
    for (int i = 0; i < EntryCount; ++i) {
        const ParameterInfo& info = kParameters[i];
        switch (info.type) {
        case ParameterType::Int: m_entries[i].value.intValue = info.intDefault; break;
        case ParameterType::Float: m_entries[i].value.floatValue = info.floatDefault; break;
        case ParameterType::String: m_entries[i].value.stringValue = copyText(info.textDefault); break;
        }
        m_entries[i].type = info.type;
        m_count = i + 1;
    }
}

std::int32_t ParameterTable::findIndex(const char* name) const
{
    if (name == nullptr || m_names == nullptr)
        return NotFound;
    // The first letter rules out most keys before a full comparison: every line of a file is
    // looked up here, twice when it sets a value.
    for (std::int32_t i = 0; i < m_count; ++i) {
        if (name[0] == m_names[i][0] && std::strcmp(name, m_names[i]) == 0)
            return i;
    }
    return NotFound;
}

std::int32_t ParameterTable::setValue(const char* name, ParameterType type, ParameterValue value)
{
    const std::int32_t index = findIndex(name);
    if (index == NotFound)
        return -1;
    ParameterEntry& entry = m_entries[index];
    if (entry.type != type)
        return -1;
    switch (type) {
    case ParameterType::Int: entry.value.intValue = value.intValue; return 0;
    case ParameterType::Float: entry.value.floatValue = value.floatValue; return 0;
    case ParameterType::String: {
        if (value.stringValue == nullptr)
            return -1;
        // Copy before freeing: the caller may hand us the entry's own text.
        char* copy = copyText(value.stringValue);
        delete[] entry.value.stringValue;
        entry.value.stringValue = copy;
        return 0;
    }
    }
    return 0;
}

ParameterValue ParameterTable::valueAt(std::int32_t index) const
{
    if (index >= 0 && index < m_count)
        return m_entries[index].value;
    ParameterValue allBits;
    std::memset(&allBits, 0xFF, sizeof allBits);
    return allBits;
}

void ParameterTable::release()
{
    delete[] m_names;
    m_names = nullptr;
    if (m_entries != nullptr) {
        for (std::int32_t i = 0; i < m_count; ++i) {
            if (m_entries[i].type == ParameterType::String) {
                delete[] m_entries[i].value.stringValue;
                m_entries[i].value.stringValue = nullptr;
            }
        }
        delete[] m_entries;
        m_entries = nullptr;
    }
    // With the storage gone the table must look empty, so that a late lookup or a second
    // release finds nothing instead of following a null pointer.
    m_count = 0;
}
