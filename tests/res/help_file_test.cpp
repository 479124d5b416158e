// The compiled help file, read back with libmspack as the help viewer reads it: its topics,
// the links between them and from its index, and that each page's settings are explained in
// its topic and found in the index.
#include <gtest/gtest.h>

#include <mspack.h>

#include <map>
#include <regex>
#include <set>
#include <string>

#include "framework/core/dialog_template.h"
#include "res/resource.h"
#include "settings/parameter_keys.h"
#include "tests/res/run_program.h"

namespace {

// Every file of the .chm, by its name inside it ("/welcome.htm").
std::map<std::string, std::string> ReadChm(const std::string& path)
{
    std::map<std::string, std::string> files;
    mschm_decompressor* chmd = mspack_create_chm_decompressor(nullptr);
    if (chmd == nullptr)
        return files;
    mschmd_header* chm = chmd->open(chmd, path.c_str());
    if (chm != nullptr) {
        restest::TempDir dir;
        for (mschmd_file* f = chm->files; f != nullptr; f = f->next) {
            const auto out = dir / "extracted";
            if (chmd->extract(chmd, f, out.c_str()) == MSPACK_ERR_OK)
                files[f->filename] = restest::Slurp(out);
        }
        chmd->close(chmd, chm);
    }
    mspack_destroy_chm_decompressor(chmd);
    return files;
}

class ResHelp : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files_ = new std::map<std::string, std::string>(ReadChm(SANDREL_CHM)); }
    static void TearDownTestSuite()
    {
        delete files_;
        files_ = nullptr;
    }
    static const std::map<std::string, std::string>& files() { return *files_; }
    static std::string Topic(const std::string& name)
    {
        const auto it = files_->find("/" + name);
        return it == files_->end() ? std::string() : it->second;
    }

private:
    static std::map<std::string, std::string>* files_;
};

std::map<std::string, std::string>* ResHelp::files_ = nullptr;

TEST_F(ResHelp, HoldsTheWelcomeTopicAndOneTopicPerTab)
{
    ASSERT_FALSE(files().empty()) << "cannot read " SANDREL_CHM;
    for (const char* topic : {"welcome.htm", "general.htm", "texture.htm", "opengl.htm", "controls.htm"})
        EXPECT_NE(Topic(topic).find("</html>"), std::string::npos) << topic;
    EXPECT_NE(Topic("welcome.htm").find("<title>Welcome to Sandrel</title>"), std::string::npos);
}

TEST_F(ResHelp, WelcomeLinksToEveryTabAndEveryLinkLeadsSomewhere)
{
    const std::string welcome = Topic("welcome.htm");
    for (const char* topic : {"general.htm", "texture.htm", "opengl.htm", "controls.htm"})
        EXPECT_NE(welcome.find(std::string("href=\"") + topic), std::string::npos) << topic;

    const std::regex href(R"re(href="([^"#]*)(#([^"]*))?")re");
    int links = 0;
    for (const auto& [name, text] : files()) {
        if (!name.ends_with(".htm"))
            continue;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), href); it != std::sregex_iterator(); ++it) {
            ++links;
            const std::string target = (*it)[1].str().empty() ? name.substr(1) : (*it)[1].str();
            ASSERT_TRUE(files().contains("/" + target)) << name << " links to missing " << target;
            if ((*it)[3].matched) {
                EXPECT_NE(Topic(target).find("name=\"" + (*it)[3].str() + "\""), std::string::npos)
                    << name << " links to missing anchor " << (*it)[0].str();
            }
        }
    }
    EXPECT_GT(links, 20);
}

// A player looking up a control finds it under the name the page shows.
TEST_F(ResHelp, EachTopicNamesTheLabelsOfItsPage)
{
    const std::pair<int, const char*> pages[] = {{IDD_GENERAL, "general.htm"},
                                                 {IDD_TEXTURE, "texture.htm"},
                                                 {IDD_OPENGL, "opengl.htm"},
                                                 {IDD_CONTROLS, "controls.htm"}};
    for (const auto& [id, topic] : pages) {
        const std::string text = Topic(topic);
        const fw::DialogTemplate* d = fw::FindDialogTemplate(id);
        ASSERT_NE(d, nullptr);
        for (const fw::ControlTemplate& c : d->controls) {
            const std::string caption = c.caption;
            // Sentences and long labels are explained in other words.
            if (caption.size() > 30 || (c.kind != fw::ControlKind::Static && c.kind != fw::ControlKind::CheckBox))
                continue;
            EXPECT_NE(text.find(caption), std::string::npos) << topic << " does not mention \"" << caption << "\"";
        }
    }
}

// The index names every setting twice, as its tab labels it and by its key in terrain.ini, and
// each entry leads to a topic, and to a place in it, that exists.
TEST_F(ResHelp, IndexFindsEveryLabelAndKeyAndEachEntryLeadsSomewhere)
{
    const std::string index = Topic("Sandrel.hhk");
    ASSERT_FALSE(index.empty()) << "the index is missing from " SANDREL_CHM;
    const std::regex entry(
        R"re(<param name="Name" value="([^"]*)">\s*<param name="Local" value="([^"#]*)(#([^"]*))?">)re");
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(index.begin(), index.end(), entry); it != std::sregex_iterator(); ++it) {
        names.insert((*it)[1].str());
        const std::string topic = Topic((*it)[2].str());
        ASSERT_FALSE(topic.empty()) << (*it)[1] << " leads to missing " << (*it)[2];
        if ((*it)[4].matched) {
            EXPECT_NE(topic.find("name=\"" + (*it)[4].str() + "\""), std::string::npos)
                << (*it)[1] << " leads to missing anchor " << (*it)[2] << "#" << (*it)[4];
        }
    }
    for (const ParameterInfo& parameter : kParameters)
        EXPECT_TRUE(names.contains(parameter.key)) << "no index entry for " << parameter.key;
    for (const int id : {IDD_GENERAL, IDD_TEXTURE, IDD_OPENGL, IDD_CONTROLS}) {
        const fw::DialogTemplate* d = fw::FindDialogTemplate(id);
        ASSERT_NE(d, nullptr);
        for (const fw::ControlTemplate& c : d->controls) {
            // A label's explanation in brackets is no part of what a user looks up; sentences
            // are not labels.
            std::string label = c.caption;
            label = label.substr(0, label.find(" ("));
            if (label.empty() || label.size() > 30 ||
                (c.kind != fw::ControlKind::Static && c.kind != fw::ControlKind::CheckBox))
                continue;
            EXPECT_TRUE(names.contains(label)) << "no index entry for the label \"" << label << "\"";
        }
    }
}

TEST_F(ResHelp, RangesAndShapesAreStated)
{
    const std::pair<const char*, const char*> facts[] = {{"general.htm", "320 or more"},
                                                         {"general.htm", "200 or more"},
                                                         {"general.htm", "1 to 32"},
                                                         {"general.htm", "2<sup>n</sup>+1"},
                                                         {"general.htm", "n from 2 to 19"},
                                                         {"general.htm", "8-bit greyscale"},
                                                         {"texture.htm", "2<sup>n</sup> pixels"},
                                                         {"texture.htm", "0 to 2048"},
                                                         {"opengl.htm", "15 to 160"},
                                                         {"opengl.htm", "10 to 5000"},
                                                         {"controls.htm", "one character"}};
    for (const auto& [topic, fact] : facts)
        EXPECT_NE(Topic(topic).find(fact), std::string::npos) << topic << ": " << fact;
}

} // namespace
