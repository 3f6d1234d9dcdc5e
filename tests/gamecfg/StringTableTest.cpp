#include "gamecfg/StringTable.h"
#include "gamecfg/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace kw {
namespace {

namespace stdfs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

class StringTableTest : public ::testing::Test {
protected:
    StringTableTest()
        : root(stdfs::temp_directory_path() / ("kw-strings-" + std::to_string(std::random_device{}()))) {
        stdfs::create_directories(root);
    }
    ~StringTableTest() override {
        std::error_code ec;
        stdfs::remove_all(root, ec);
    }

    std::string Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(root / name, std::ios::binary) << bytes;
        return (root / name).string();
    }

    std::vector<std::string> Load(const std::string& bytes) {
        LoadStringTable(table, Put("table.xml", bytes));
        std::vector<std::string> lines;
        for (int i = 0; i < table.Count(); ++i) {
            lines.push_back(table.Line(i));
        }
        return lines;
    }

    stdfs::path root;
    TStringTable table;
};

TEST_F(StringTableTest, TakesEachChildWithIdAndTextInDocumentOrder) {
    const auto lines = Load("<?xml version=\"1.0\"?>\n<any>\n"
                            "  <!-- comments and indentation count for nothing -->\n"
                            "  <string id=\"wpn_ak74\">\n    <text>AK-74</text>\n  </string>\n"
                            "  <s id=\"direct\">Direct text</s>\n"
                            "  <string id=\"\"><text>empty id</text></string>\n"
                            "  <string><text>no id</text></string>\n"
                            "  <string id=\"no_children\"/>\n"
                            "  <string id=\"empty_text\"><text></text></string>\n"
                            "  <string id=\"blank_text\"><text>  \t\r\n </text></string>\n"
                            "  <s id=\"blank_direct\">   </s>\n"
                            "  <string id=\"nested\"><text><b>bold</b></text></string>\n"
                            "  <string id=\"mixed\"><text>a<!--c-->b</text></string>\n"
                            "  <string id=\"cdata\"><text><![CDATA[<kept>]]></text></string>\n"
                            "  <string id=\"first_child_only\"><text>one</text><text>two</text></string>\n"
                            "</any>\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"wpn_ak74=AK-74", "direct=Direct text", "=empty id",
                                               "cdata=<kept>", "first_child_only=one"}));
}

TEST_F(StringTableTest, BackslashNBecomesCrLfAndRealBreaksStay) {
    Load("<t><string id=\"d\"><text>one\\ntwo\nthree\\\\n</text></string></t>");
    ASSERT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Text(0), "one\r\ntwo\nthree\\\r\n");
}

TEST_F(StringTableTest, LookupFindsFirstIdExactlyAndNeverAnIdHoldingEquals) {
    table.Append("wpn_ak74", "first");
    table.Append("WPN_AK74", "upper");
    table.Append("wpn_ak74", "second");
    table.Append("a=b", "c");
    EXPECT_EQ(table.IndexOfStringId("wpn_ak74"), 0);
    EXPECT_EQ(table.IndexOfStringId("WPN_AK74"), 1);
    EXPECT_EQ(table.IndexOfStringId("Wpn_Ak74"), -1);
    EXPECT_EQ(table.IndexOfStringId("a=b"), -1);
    ASSERT_EQ(table.IndexOfStringId("a"), 3);
    EXPECT_EQ(table.Text(3), "b=c");
    EXPECT_EQ(table.Line(3), "a=b=c");

    table.Clear();
    table.Append("other", "x");
    table.Append("wpn_ak74", "after clear");
    EXPECT_EQ(table.IndexOfStringId("wpn_ak74"), 1);
}

TEST_F(StringTableTest, MissingFileLeavesTableEmpty) {
    table.Append("stale", "line");
    LoadStringTable(table, (root / "absent.xml").string());
    EXPECT_EQ(table.Count(), 0);
}

TEST_F(StringTableTest, DeclaredAndUndeclaredSingleByteTablesArriveAsUtf8) {
    const std::string cyrillic = "\xD6\xE0\xEF\xEB\xFF";                 // windows-1251
    const std::string utf8 = "\xD0\xA6\xD0\xB0\xD0\xBF\xD0\xBB\xD1\x8F"; // the same word
    const std::string body = "<t><s id=\"heron\"><text>" + cyrillic + "</text></s></t>";
    for (const std::string& head : {std::string("<?xml version=\"1.0\" encoding=\"windows-1251\"?>"),
                                    std::string("<?xml version=\"1.0\"?>"), std::string()}) {
        Load(head + body);
        ASSERT_EQ(table.Count(), 1) << head;
        EXPECT_EQ(table.Text(0), utf8) << head;
    }
    Load("<t><s id=\"heron\"><text>" + utf8 + "</text></s></t>");
    EXPECT_EQ(table.Text(0), utf8);
}

// Mods write tables by hand: text between entries, entities, DTD defaults and
// nested groups must not shift or invent entries, and a fault late in the file
// must leave no half-read table behind.
TEST_F(StringTableTest, EntriesSurroundedByOtherContentReadAsInTheWholeDocument) {
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::vector<std::string> Lines;
        std::string Error;
    };
    const std::vector<TCase> cases = {
        {"root text between entries",
         "<r>junk<s id=\"a\"><t>1</t></s> more <s id=\"b\"><t>2</t></s>tail<s id=\"c\"> <t>3</t> </s>\n"
         "<s id=\"d\">\n <t>4</t>\n</s></r>",
         {"a=1", "b=2", "c=3", "d=4"},
         ""},
        {"internal entities",
         "<!DOCTYPE r [<!ENTITY t \"hello\"><!ENTITY e \"<s id='in'><t>x</t></s>\">]>"
         "<r><s id=\"a\"><t>&t;</t></s>&e;<s id=\"b\">&t;</s><s id=\"c\"><t>1&amp;2</t></s></r>",
         {"c=1&2"},
         ""},
        {"id defaulted by the DTD",
         "<!DOCTYPE r [<!ATTLIST s id CDATA \"dflt\">]><r><s><t>x</t></s><s id=\"q\"><t>y</t></s></r>",
         {"dflt=x", "q=y"},
         ""},
        {"preserved space",
         "<r xml:space=\"preserve\">\n <s id=\"a\">\n  <t>t</t>\n </s> junk <s id=\"b\"><t>u</t></s></r>",
         {"b=u"},
         ""},
        {"groups, namespaces and repeated ids",
         "<r><g><s id=\"a\"><t>t</t></s></g><s id=\"x=y\"><t>t2</t></s><s id=\"dup\"><t>1</t></s>"
         "<s id=\"dup\"><t>2</t></s><s x:id=\"n\" xmlns:x=\"u\"><t>3</t></s></r>",
         {"x=y=t2", "dup=1", "dup=2"},
         ""},
        {"single-byte text after entries read as UTF-8",
         "<r><s id=\"a\"><t>1</t></s>\n<s id=\"b\"><t>\xC0</t></s>\n<s id=\"c\"><t>3</t></s></r>",
         {"a=1", "b=\xD0\x90", "c=3"},
         ""},
        {"fault after entries",
         "<r><s id=\"a\"><t>1</t></s>\n<s id=\"b\"><t>2</t></s>\n<s id=\"c\"><t>3</t></x></r>",
         {},
         "line 3: Opening and ending tag mismatch"},
        {"root never closed",
         "<r>\n<s id=\"a\"><t>1</t></s>\n<s id=\"b\"><t>2</t></s>\n",
         {},
         "line 4: Premature end of data in tag r line 1"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> lines;
        std::string error;
        try {
            lines = Load(c.Bytes);
        } catch (const Error& e) {
            error = e.what();
        }
        EXPECT_EQ(lines, c.Lines);
        EXPECT_EQ(table.Count(), static_cast<int>(c.Lines.size()));
        if (c.Error.empty()) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_THAT(error, HasSubstr(c.Error));
        }
    }
}

TEST_F(StringTableTest, MalformedFileFailsNamingFileAndLineWithoutPrinting) {
    const std::string bad =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<t>\n<s id=\"a\"><text>\xC0\xC1</text></s></t>";
    const std::vector<std::string> files = {Put("unclosed.xml", "<t>\n<s id=\"a\"><text>x</text></s>\n"),
                                            Put("declared_utf8.xml", bad), Put("empty.xml", "")};
    for (const std::string& file : files) {
        table.Append("stale", "line");
        ::testing::internal::CaptureStderr();
        try {
            LoadStringTable(table, file);
            ADD_FAILURE() << file << " was accepted";
        } catch (const Error& error) {
            EXPECT_THAT(error.what(),
                        AllOf(HasSubstr(stdfs::path(file).filename().string()), HasSubstr("line")));
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(table.Count(), 0);
    }
}

} // namespace
} // namespace kw
