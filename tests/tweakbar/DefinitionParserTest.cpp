#include "tweakbar/DefinitionParser.h"

#include <gtest/gtest.h>

using namespace TweakBar;

namespace
{
Definition ParseOne(const std::string& text)
{
    std::vector<Definition> definitions;
    std::string error;
    EXPECT_TRUE(ParseDefinitions(text, definitions, error)) << error;
    EXPECT_EQ(definitions.size(), 1u);
    return definitions.empty() ? Definition() : definitions[0];
}

std::string ParseError(const std::string& text)
{
    std::vector<Definition> definitions;
    std::string error;
    EXPECT_FALSE(ParseDefinitions(text, definitions, error)) << text;
    return error;
}

void ExpectParameter(const Parameter& parameter, const std::string& name, const std::string& value)
{
    EXPECT_EQ(parameter.name, name);
    EXPECT_TRUE(parameter.hasValue) << name;
    EXPECT_EQ(parameter.value, value);
}

void ExpectFlag(const Parameter& parameter, const std::string& name)
{
    EXPECT_EQ(parameter.name, name);
    EXPECT_FALSE(parameter.hasValue) << name;
}
}

TEST(DefinitionParser, BarDefinitionWithTrailingBlank)
{
    const Definition d = ParseOne("projected label='Opcje rzutowania cieni' size='350 130' valueswidth=160 "
                                  "visible=false position='2000 16' color='18 141 18' alpha=64 ");
    ASSERT_EQ(d.target, std::vector<std::string>{"projected"});
    ASSERT_EQ(d.parameters.size(), 7u);
    ExpectParameter(d.parameters[0], "label", "Opcje rzutowania cieni");
    ExpectParameter(d.parameters[1], "size", "350 130");
    ExpectParameter(d.parameters[2], "valueswidth", "160");
    ExpectParameter(d.parameters[3], "visible", "false");
    ExpectParameter(d.parameters[4], "position", "2000 16");
    ExpectParameter(d.parameters[5], "color", "18 141 18");
    ExpectParameter(d.parameters[6], "alpha", "64");
}

TEST(DefinitionParser, FlagsBetweenValuesAndRepeatedParametersKeepTheirOrder)
{
    std::vector<Parameter> p;
    std::string error;
    ASSERT_TRUE(ParseParameters("label='Dlugosc bryl' group='Rodzaj bryl' min=0 hide help='Reguluje.'", p, error));
    ASSERT_EQ(p.size(), 5u);
    ExpectParameter(p[1], "group", "Rodzaj bryl");
    ExpectParameter(p[2], "min", "0");
    ExpectFlag(p[3], "hide");
    ExpectParameter(p[4], "help", "Reguluje.");

    p.clear();
    ASSERT_TRUE(ParseParameters("step=0.05 group='G' min=0.1 step=0.1", p, error));
    ASSERT_EQ(p.size(), 4u);
    ExpectParameter(p[0], "step", "0.05");
    ExpectParameter(p[3], "step", "0.1");

    p.clear();
    ASSERT_TRUE(ParseParameters("help='Okresla.' hide", p, error));
    ExpectFlag(p.back(), "hide");
}

TEST(DefinitionParser, QuotedValues)
{
    std::vector<Parameter> p;
    std::string error;
    ASSERT_TRUE(ParseParameters("label=\"a 'b' c\" help=`x y` true = 'Wlaczone'  Label='Upper'", p, error)) << error;
    ASSERT_EQ(p.size(), 4u);
    ExpectParameter(p[0], "label", "a 'b' c");
    ExpectParameter(p[1], "help", "x y");
    ExpectParameter(p[2], "true", "Wlaczone");
    ExpectParameter(p[3], "label", "Upper");

    // A help text that quotes a word keeps the whole text.
    p.clear();
    ASSERT_TRUE(ParseParameters("label='Pozycja' open help='Okresla pozycje. Wspolrzedna 'w' jest tylko do "
                                "odczytu i ma wartosc 0.'",
                                p, error))
        << error;
    ASSERT_EQ(p.size(), 3u);
    ExpectFlag(p[1], "open");
    ExpectParameter(p[2], "help", "Okresla pozycje. Wspolrzedna 'w' jest tylko do odczytu i ma wartosc 0.");

    // The quote before a flag the library knows ends the value.
    p.clear();
    ASSERT_TRUE(ParseParameters("help='a 'b' c' readonly close", p, error)) << error;
    ASSERT_EQ(p.size(), 3u);
    ExpectParameter(p[0], "help", "a 'b' c");
    ExpectFlag(p[2], "close");

    p.clear();
    ASSERT_TRUE(ParseParameters("label='' help=''", p, error)) << error;
    ExpectParameter(p[0], "label", "");
    ExpectParameter(p[1], "help", "");
}

TEST(DefinitionParser, Targets)
{
    EXPECT_EQ(ParseOne("light/Reflektor hide").target, (std::vector<std::string>{"light", "Reflektor"}));
    EXPECT_EQ(ParseOne("  volume/'Rodzaj bryl' close").target, (std::vector<std::string>{"volume", "Rodzaj bryl"}));
    const Definition global = ParseOne("GLOBAL help='O programie: cienie.'");
    EXPECT_EQ(global.target, std::vector<std::string>{"GLOBAL"});
    ExpectParameter(global.parameters[0], "help", "O programie: cienie.");
    EXPECT_TRUE(ParseOne("main").parameters.empty());
}

TEST(DefinitionParser, SeveralLines)
{
    std::vector<Definition> definitions;
    std::string error;
    ASSERT_TRUE(ParseDefinitions("a/x hide\n\n b label='two\nlines'\r\nc show", definitions, error)) << error;
    ASSERT_EQ(definitions.size(), 3u);
    EXPECT_EQ(definitions[1].target, std::vector<std::string>{"b"});
    ExpectParameter(definitions[1].parameters[0], "label", "two\nlines");
    EXPECT_EQ(definitions[2].target, std::vector<std::string>{"c"});
}

TEST(DefinitionParser, MalformedDefinitionsAreRefusedWithAReason)
{
    EXPECT_NE(ParseError("bar label='never closed").find("unterminated"), std::string::npos);
    EXPECT_NE(ParseError("bar label='a'b").find("unterminated"), std::string::npos);
    EXPECT_NE(ParseError("bar label= ").find("missing value"), std::string::npos);
    EXPECT_FALSE(ParseError("/x hide").empty());
    EXPECT_FALSE(ParseError("bar/ hide").empty());
    EXPECT_FALSE(ParseError("bar label:'x'").empty());
    EXPECT_FALSE(ParseError("bar 'x'").empty());
    EXPECT_FALSE(ParseError("'bar hide").empty());
    EXPECT_FALSE(ParseError("bar/'x'y hide").empty());
    EXPECT_FALSE(ParseError("   ").empty());
    EXPECT_FALSE(ParseError("").empty());
}

TEST(DefinitionParser, Numbers)
{
    EXPECT_EQ(ParseNumber("0.0f"), 0.0);
    EXPECT_EQ(ParseNumber("1.0f"), 1.0);
    EXPECT_EQ(ParseNumber("-10"), -10.0);
    EXPECT_EQ(ParseNumber("+3"), 3.0);
    EXPECT_EQ(ParseNumber(" 0.05 "), 0.05);
    EXPECT_EQ(ParseNumber("1e-2"), 0.01);
    for (const char* bad : {"", "f", "abc", "1.0ff", "1,5", "1 2", "nan", "inf", "0x"})
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
}

TEST(DefinitionParser, BooleansIntegersAndEnumerationValues)
{
    EXPECT_EQ(ParseBool("true"), true);
    EXPECT_EQ(ParseBool("FALSE"), false);
    EXPECT_EQ(ParseBool("1"), true);
    EXPECT_FALSE(ParseBool("yes").has_value());

    EXPECT_EQ(ParseIntegers("350 130", 2), (std::vector<int>{350, 130}));
    EXPECT_EQ(ParseIntegers(" 18  141 18 ", 3), (std::vector<int>{18, 141, 18}));
    EXPECT_EQ(ParseIntegers("-5 16", 2), (std::vector<int>{-5, 16}));
    for (const char* bad : {"350", "1 2 3", "1,2", "1.5 2", "a b"})
        EXPECT_FALSE(ParseIntegers(bad, 2).has_value()) << bad;

    const auto values = ParseEnumValues("0 {Brak cieni}, 1 {Rzutowanie cieni},2{Cienie, objetosciowe} , -3 {}");
    ASSERT_TRUE(values.has_value());
    ASSERT_EQ(values->size(), 4u);
    EXPECT_EQ((*values)[0], std::make_pair(0, std::string("Brak cieni")));
    EXPECT_EQ((*values)[2], std::make_pair(2, std::string("Cienie, objetosciowe")));
    EXPECT_EQ((*values)[3], std::make_pair(-3, std::string()));
    for (const char* bad : {"", "0 Brak", "0 {a}, 0 {b}", "0 {a} 1 {b}", "x {a}", "0 {a", "0 {a},"})
        EXPECT_FALSE(ParseEnumValues(bad).has_value()) << bad;
}
