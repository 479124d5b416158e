// The writer's 40-line layout byte for byte, and what a written file reads back as.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "settings/detail/line_reader.h"
#include "settings/parameter_table.h"
#include "settings/settings_file.h"
#include "settings_test_support.h"

namespace {

using settings_test::bitsOf;
using settings_test::defaultValues;
using settings_test::readBytes;
using settings_test::ScratchDir;

const std::filesystem::path kWritten = std::filesystem::path(SANDREL_SETTINGS_DATA_DIR) / "written";

using Values = std::array<ParameterEntry, ParameterTable::EntryCount>;

std::string written(const Values& values)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    EXPECT_TRUE(writeSettingsValues(path.c_str(), values));
    return readBytes(path);
}

// The line of a written file that holds key, without its line end.
std::string lineOf(const std::string& text, const std::string& key)
{
    const std::size_t start = text.find("\n" + key + " = ");
    if (start == std::string::npos)
        return "(missing)";
    return text.substr(start + 1, text.find('\n', start + 1) - start - 1);
}

// The file as Linux writes it, with LF line ends; Windows writes CR LF, which WindowsSettingsFile
// checks.
class SettingsWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifdef _WIN32
        GTEST_SKIP() << "LF line ends are Linux's; WindowsSettingsFile checks the CR LF file";
#endif
    }
};

TEST_F(SettingsWriter, DefaultsGiveTheFortyLineFile)
{
    const std::string text = written(defaultValues());
    EXPECT_EQ(text, readBytes((kWritten / "defaults.ini").string()));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 40);
}

TEST_F(SettingsWriter, FloatsAreFixedPointWithSixDecimals)
{
    Values values = defaultValues();
    values[RowOf("TRANS_SPEED")].value.floatValue = 0.0000004f;
    values[RowOf("GLOBAL_DETAIL")].value.floatValue = -1.5f;
    values[RowOf("LOCAL_DETAIL")].value.floatValue = 0.0000006f;
    values[RowOf("FIELD_OF_VIEW")].value.floatValue = FLT_MAX;
    values[RowOf("FIELD_OF_VIEW_ASPECT")].value.floatValue = -0.0000004f;
    values[RowOf("CLIP_PLANE_NEAR")].value.floatValue = 1e-45f;
    values[RowOf("CLIP_PLANE_FAR")].value.floatValue = std::numeric_limits<float>::infinity();
    values[RowOf("TEXTURE_EDGE_LEN")].value.floatValue = 123456.789f;
    const std::string text = written(values);
    EXPECT_EQ(lineOf(text, "TRANS_SPEED"), "TRANS_SPEED = 0.000000");
    EXPECT_EQ(lineOf(text, "GLOBAL_DETAIL"), "GLOBAL_DETAIL = -1.500000");
    EXPECT_EQ(lineOf(text, "LOCAL_DETAIL"), "LOCAL_DETAIL = 0.000001");
    EXPECT_EQ(lineOf(text, "FIELD_OF_VIEW"), "FIELD_OF_VIEW = 340282346638528859811704183484516925440.000000");
    EXPECT_EQ(lineOf(text, "FIELD_OF_VIEW_ASPECT"), "FIELD_OF_VIEW_ASPECT = -0.000000");
    EXPECT_EQ(lineOf(text, "CLIP_PLANE_NEAR"), "CLIP_PLANE_NEAR = 0.000000");
    EXPECT_EQ(lineOf(text, "CLIP_PLANE_FAR"), "CLIP_PLANE_FAR = inf");
    // The float nearest 123456.789 is 123456.7890625: %f shows the widened double's digits.
    EXPECT_EQ(lineOf(text, "TEXTURE_EDGE_LEN"), "TEXTURE_EDGE_LEN = 123456.789062");
}

TEST_F(SettingsWriter, IntsAndStringsAreWrittenAsTheyAre)
{
    Values values = defaultValues();
    char empty[] = "";
    char spaced[] = "my maps/big map.bmp";
    char odd[] = "a=b #c\t";
    values[RowOf("WIDTH")].value.intValue = INT_MIN;
    values[RowOf("HEIGHT")].value.intValue = INT_MAX;
    values[RowOf("MAX_DETAIL")].value.intValue = -7;
    values[RowOf("MAP_NAME")].value.stringValue = empty;
    values[RowOf("TEXTURE_NAME")].value.stringValue = spaced;
    values[RowOf("CULL_SWITCH")].value.stringValue = odd;
    const std::string text = written(values);
    EXPECT_EQ(lineOf(text, "WIDTH"), "WIDTH = -2147483648");
    EXPECT_EQ(lineOf(text, "HEIGHT"), "HEIGHT = 2147483647");
    EXPECT_EQ(lineOf(text, "MAX_DETAIL"), "MAX_DETAIL = -7");
    EXPECT_EQ(lineOf(text, "MAP_NAME"), "MAP_NAME = ");
    EXPECT_EQ(lineOf(text, "TEXTURE_NAME"), "TEXTURE_NAME = my maps/big map.bmp");
    EXPECT_EQ(lineOf(text, "CULL_SWITCH"), "CULL_SWITCH = a=b #c\t");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 40);
}

TEST_F(SettingsWriter, ReplacesEverythingAnOldFileHeld)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    settings_test::writeBytes(path, "# mine\nUNKNOWN = 1\n" + std::string(5000, 'x') + "\nWIDTH = 3\n");
    ASSERT_TRUE(writeSettingsValues(path.c_str(), defaultValues()));
    EXPECT_EQ(readBytes(path), written(defaultValues())) << "the same bytes as a file written afresh";
}

TEST_F(SettingsWriter, RefusesValuesThatDoNotFitTheirRows)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    Values wrongType = defaultValues();
    wrongType[RowOf("WIDTH")].type = ParameterType::Float;
    EXPECT_FALSE(writeSettingsValues(path.c_str(), wrongType));
    Values noText = defaultValues();
    noText[RowOf("MAP_NAME")].value.stringValue = nullptr;
    EXPECT_FALSE(writeSettingsValues(path.c_str(), noText));
    EXPECT_TRUE(dir.names().empty());

    // A line break pasted into a name would add a line of its own choosing to the file.
    const std::string old = "WIDTH = 3\n";
    settings_test::writeBytes(path, old);
    for (const char* name : {"pasted.bmp\nWIDTH = 5", "pasted.bmp\r\n", "\n"}) {
        SCOPED_TRACE(name);
        Values lineBreak = defaultValues();
        lineBreak[RowOf("MAP_NAME")].value.stringValue = const_cast<char*>(name);
        EXPECT_FALSE(writeSettingsValues(path.c_str(), lineBreak));
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"terrain.ini"});
    }
}

TEST_F(SettingsWriter, PointDecimalsWhateverTheUserLocale)
{
    ScratchDir dir;
    const std::string inTheCLocale = written(defaultValues());
    settings_test::CommaDecimalLocale locale(dir);
    if (!locale.active())
        GTEST_SKIP() << "no comma-decimal locale can be made on this machine";
    EXPECT_EQ(written(defaultValues()), inTheCLocale);
}

// What the next start reads from a file this writer wrote.
TEST_F(SettingsWriter, ReadsBackExceptWhereTheGrammarLosesText)
{
    Values values = defaultValues();
    char spaced[] = "my map.bmp";
    char equals[] = "a=b.bmp";
    std::string longName(300, 'q');
    char space[] = " ";
    char equalsKey[] = "=";
    char trailingCr[] = "R\r";
    values[RowOf("FULLSCREEN")].value.intValue = 1;
    values[RowOf("WIDTH")].value.intValue = INT_MIN;
    values[RowOf("HEIGHT")].value.intValue = INT_MAX;
    values[RowOf("TRANS_SPEED")].value.floatValue = 1.23456789f;
    values[RowOf("GLOBAL_DETAIL")].value.floatValue = -0.0000004f;
    values[RowOf("CLIP_PLANE_FAR")].value.floatValue = 4999.5f;
    values[RowOf("MAP_NAME")].value.stringValue = spaced;
    values[RowOf("TEXTURE_NAME")].value.stringValue = equals;
    values[RowOf("CULL_SWITCH")].value.stringValue = longName.data();
    values[RowOf("STRAFE_LEFT")].value.stringValue = space;
    values[RowOf("STRAFE_RIGHT")].value.stringValue = equalsKey;
    values[RowOf("MOVE_FORWARD")].value.stringValue = trailingCr;

    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    ASSERT_TRUE(writeSettingsValues(path.c_str(), values));
    settings_test::MessageLog log;
    ParameterTable table;
    ASSERT_TRUE(table.load(path.c_str()));
    EXPECT_TRUE(log.texts.empty());

    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, "mymap.bmp");
    EXPECT_STREQ(table.valueAt(RowOf("TEXTURE_NAME")).stringValue, "b.bmp");
    EXPECT_EQ(std::string(table.valueAt(RowOf("CULL_SWITCH")).stringValue), longName);
    EXPECT_STREQ(table.valueAt(RowOf("STRAFE_LEFT")).stringValue, "");
    EXPECT_STREQ(table.valueAt(RowOf("STRAFE_RIGHT")).stringValue, "");
    // A CR at the end of a value joins the line end.
    EXPECT_STREQ(table.valueAt(RowOf("MOVE_FORWARD")).stringValue, "R");
    EXPECT_EQ(bitsOf(table.valueAt(RowOf("TRANS_SPEED")).floatValue), bitsOf(1.234568f));
    EXPECT_EQ(bitsOf(table.valueAt(RowOf("GLOBAL_DETAIL")).floatValue), bitsOf(-0.0f));
    EXPECT_EQ(bitsOf(table.valueAt(RowOf("CLIP_PLANE_NEAR")).floatValue), 0x3DCCCCCDu);

    // The names the next start would read otherwise are the ones the launcher refuses to take.
    const std::pair<const char*, const char*> names[] = {
        {spaced, "terrain.ini can't hold a name with a space"},
        {equals, "terrain.ini can't hold a name with an '='"},
        {trailingCr, "terrain.ini can't hold a name ending in a carriage return"},
        {"a\nb.bmp", "terrain.ini can't hold a name with a line break"},
        {"a\rb.bmp", nullptr},
        {"\ttab.bmp", nullptr},
        {"", nullptr},
        {"#x.bmp", nullptr},
        {"\xEF\xBB\xBFx.bmp", nullptr},
        {"/home/u/maps/big_map-2.bmp", nullptr},
    };
    for (const auto& [name, reason] : names) {
        SCOPED_TRACE(name);
        const char* given = nameNotKeptReason(name);
        EXPECT_STREQ(given, reason);
    }
    // The longest line the reader takes bounds a name, under the longer of the two keys.
    const std::size_t longest = settings::detail::LineReader::DefaultMaxLine - std::strlen("TEXTURE_NAME = ");
    EXPECT_EQ(nameNotKeptReason(std::string(longest, 'n').c_str()), nullptr);
    EXPECT_STREQ(nameNotKeptReason(std::string(longest + 1, 'n').c_str()), "terrain.ini can't hold a name this long");

    for (int i = 0; i < 38; ++i) {
        if (i == 3 || i == 11 || (i >= 22 && i <= 26) || i == 33)
            continue;
        SCOPED_TRACE(kParameters[i].key);
        switch (kParameters[i].type) {
        case ParameterType::Int: EXPECT_EQ(table.valueAt(i).intValue, values[i].value.intValue); break;
        case ParameterType::Float:
            EXPECT_EQ(bitsOf(table.valueAt(i).floatValue), bitsOf(values[i].value.floatValue));
            break;
        case ParameterType::String: EXPECT_STREQ(table.valueAt(i).stringValue, values[i].value.stringValue); break;
        }
    }
}

} // namespace
