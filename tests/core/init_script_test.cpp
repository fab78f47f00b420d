#include "app/init_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace rirevar {
namespace {

using test::CaseName;
using test::Hex;

struct ScriptCase {
  std::string name;
  std::string script;
  std::vector<std::string> statements;
};

const ScriptCase kScriptCases[] = {
    {"EmptyScriptSendsNothing", "", {}},
    {"LinesJoinWithoutSeparator", "create table t (\r\n a int,\r\n b int);\r\n", {"create table t ( a int, b int)"}},
    {"WordsAcrossALineBreakRunTogether", "select\r\n1;\r\n", {"select1"}},
    {"LfBreaksLines", "select 1\n;\nselect 2;\n", {"select 1", "select 2"}},
    {"CrBreaksLines", "select 1;\rselect 2;\r", {"select 1", "select 2"}},
    {"CrLfIsOneBreakNotTwo", "a\r\n\r\nb;", {"ab"}},
    {"MixedBreaks", "a\rb\nc\r\nd;", {"abcd"}},
    {"LastStatementWithoutSemicolonIsNotSent", "select 1;\r\nselect 2\r\n", {"select 1"}},
    {"OnlyTheFirstSemicolonOfALineIsRemoved", "select 1; select 2;\r\n", {"select 1 select 2;"}},
    {"TextAfterTheSemicolonStaysInTheStatement", "select 1;  \r\n", {"select 1  "}},
    {"LoneSemicolonIsAnEmptyStatement", ";\r\nselect 1;", {"", "select 1"}},
    {"ShiftJisBytesPassUnchanged", Hex("27 95 5C 8E A6 27 3B"), {Hex("27 95 5C 8E A6 27")}},
};

class ScriptStatementsTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptStatementsTest, CutsAsTheDialogSends) {
  EXPECT_EQ(ScriptStatements(GetParam().script), GetParam().statements);
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptStatementsTest, testing::ValuesIn(kScriptCases), CaseName<ScriptCase>);

}  // namespace
}  // namespace rirevar
