// Access keys chosen from captions: which letter each caption gets, that none clash, and that
// the caption itself comes back unchanged once the marker is taken out.
#include "localize/access_keys.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace tambrel {
namespace {

struct Group {
    std::string name;
    AccessKeyStyle style;
    std::vector<AccessKeyRequest> requests;
    std::vector<std::string> expected;
};

class AccessKeyGroups : public ::testing::TestWithParam<Group> {};

TEST_P(AccessKeyGroups, MarksTheExpectedKeysWithoutClashes) {
    const Group& group = GetParam();
    const std::vector<std::string> marked = withAccessKeys(group.requests, group.style);
    EXPECT_EQ(marked, group.expected);
    std::set<char> keys;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (const char key = accessKeyOf(marked[i])) {
            EXPECT_TRUE(keys.insert(key).second) << "key " << key << " twice, in " << marked[i];
        }
        EXPECT_EQ(withoutAccessKeyMarker(marked[i]), group.requests[i].caption);
    }
}

const std::string kFile = "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB"; // ファイル
const std::string kHelp = "\xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97";             // ヘルプ
const std::string kExit = "\xE7\xB5\x82\xE4\xBA\x86";                         // 終了
const std::string kJapaneseCsv = "\xE3\x82\xAC CSV \xE3\x81\xAB";             // ガ CSV に
const std::string kSave = "\xE4\xBF\x9D\xE5\xAD\x98...";                      // 保存...
const std::string kUmlaut = "\xC3\x9C"
                            "ber Tambrel"; // Über Tambrel

INSTANTIATE_TEST_SUITE_P(
    Captions, AccessKeyGroups,
    ::testing::Values(
        Group{"FirstLetters",
              AccessKeyStyle::InCaption,
              {{"File", ""}, {"Help", ""}},
              {"&File", "&Help"}},
        // "Export prompts" cannot have E: the word starts come before any inner letter.
        Group{"WordStartsBeforeInnerLetters",
              AccessKeyStyle::InCaption,
              {{"Export greetings", ""}, {"Export prompts", ""}, {"Exit", ""}},
              {"&Export greetings", "Export &prompts", "E&xit"}},
        // A later caption's first letter outranks an earlier caption's second word.
        Group{"FirstLetterOutranksEarlierWordStart",
              AccessKeyStyle::InCaption,
              {{"Show reload", ""}, {"Reload Files", ""}},
              {"&Show reload", "&Reload Files"}},
        Group{"CaseIsIgnored",
              AccessKeyStyle::InCaption,
              {{"exit", ""}, {"Export", ""}},
              {"&exit", "E&xport"}},
        Group{"OwnAmpersandsDoubled",
              AccessKeyStyle::InCaption,
              {{"Greetings & Voice Names", ""}},
              {"&Greetings && Voice Names"}},
        Group{"NonLatinLettersAreSkipped",
              AccessKeyStyle::InCaption,
              {{kUmlaut, ""}},
              {"\xC3\x9C&ber Tambrel"}},
        Group{"NoFreeLetterNoKey",
              AccessKeyStyle::InCaption,
              {{"ab", ""}, {"ba", ""}, {"ab", ""}},
              {"&ab", "&ba", "ab"}},
        Group{"EmptyCaptionStaysEmpty", AccessKeyStyle::InCaption, {{"", ""}}, {""}},
        Group{"AppendedFromTheEnglishCaption",
              AccessKeyStyle::Appended,
              {{kFile, "File"}, {kHelp, "Help"}},
              {kFile + "(&F)", kHelp + "(&H)"}},
        Group{
            "AppendedKeysDoNotClash",
            AccessKeyStyle::Appended,
            {{kJapaneseCsv, "Export greetings"}, {kJapaneseCsv, "Export prompts"}, {kExit, "Exit"}},
            {kJapaneseCsv + "(&E)", kJapaneseCsv + "(&P)", kExit + "(&X)"}},
        Group{"AppendedBeforeEllipsis",
              AccessKeyStyle::Appended,
              {{kSave, "Save"}},
              {"\xE4\xBF\x9D\xE5\xAD\x98(&S)..."}},
        // Without a hint the caption's own Latin letters, then the alphabet.
        Group{"AppendedWithoutHint",
              AccessKeyStyle::Appended,
              {{kJapaneseCsv, ""}, {kFile, ""}},
              {kJapaneseCsv + "(&C)", kFile + "(&A)"}}),
    [](const ::testing::TestParamInfo<Group>& info) { return info.param.name; });

TEST(AccessKeyStyle, AppendedForEastAsianLanguagesOnly) {
    struct Row {
        std::int32_t languageID;
        AccessKeyStyle style;
    };
    for (const Row& row :
         {Row{1033, AccessKeyStyle::InCaption}, Row{1031, AccessKeyStyle::InCaption},
          Row{1041, AccessKeyStyle::Appended}, Row{1042, AccessKeyStyle::Appended},
          Row{2052, AccessKeyStyle::Appended}, Row{1028, AccessKeyStyle::Appended},
          Row{0, AccessKeyStyle::InCaption}})
        EXPECT_EQ(accessKeyStyleFor(row.languageID), row.style) << row.languageID;
}

TEST(AccessKeyMarker, ReadAndRemoved) {
    struct Row {
        std::string marked;
        char key;
        std::string plain;
    };
    for (const Row& row :
         {Row{"E&xit", 'x', "Exit"}, Row{"A && B", 0, "A & B"}, Row{"A && &B", 'b', "A & B"},
          Row{kFile + "(&F)", 'f', kFile}, Row{"(&x)", 'x', ""}, Row{"trailing&", 0, "trailing"}}) {
        EXPECT_EQ(accessKeyOf(row.marked), row.key) << row.marked;
        EXPECT_EQ(withoutAccessKeyMarker(row.marked), row.plain) << row.marked;
    }
}

} // namespace
} // namespace tambrel
