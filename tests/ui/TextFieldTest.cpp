// The menu's text fields: what each kind takes, its length, Backspace.
#include <gtest/gtest.h>

#include <string>

#include "ui/TextField.h"

namespace
{

using Kind = TextField::Kind;

std::string Typed(Kind kind, const std::string& keys)
{
    TextField field(kind);
    for (char c : keys)
    {
        field.Type(c);
    }
    return field.Text();
}

TEST(TextField, EachKindTakesOnlyItsCharacters)
{
    const struct
    {
        Kind kind;
        const char* typed;
        const char* kept;
    } rows[] = {
        {Kind::Address, "127.0.0.1", "127.0.0.1"},
        {Kind::Address, "relay-2.example.org", "relay-2.example.org"},
        {Kind::Address, "a b:c/d_e", "abcde"},
        {Kind::Port, "24250", "24250"},
        {Kind::Port, "2a4-2 5", "2425"},
        {Kind::Code, "k7wq2m", "K7WQ2M"},
        {Kind::Code, "K7-WQ 2m!", "K7WQ2M"},
        {Kind::Name, "Bo Li", "Bo Li"},
        {Kind::Name, "  Bo", "Bo"}, // a name never starts with a space
        {Kind::Name, "A\tB\nC\x7f~", "ABC~"},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(Typed(row.kind, row.typed), row.kept) << row.typed;
    }
}

TEST(TextField, AFullFieldRefusesMore)
{
    const struct
    {
        Kind kind;
        size_t length;
    } rows[] = {{Kind::Address, 40}, {Kind::Port, 5}, {Kind::Code, 16}, {Kind::Name, 20}};
    for (const auto& row : rows)
    {
        TextField field(row.kind);
        EXPECT_EQ(field.MaxLength(), row.length);
        for (size_t i = 0; i < row.length; i++)
        {
            EXPECT_TRUE(field.Type('1'));
        }
        EXPECT_FALSE(field.Type('1'));
        EXPECT_EQ(field.Text(), std::string(row.length, '1'));
    }
}

TEST(TextField, BackspaceTakesTheLastCharacter)
{
    TextField field(Kind::Port, "24250");
    EXPECT_TRUE(field.Backspace());
    EXPECT_EQ(field.Text(), "2425");
    EXPECT_TRUE(field.Type('1'));
    EXPECT_EQ(field.Text(), "24251");
    for (int i = 0; i < 5; i++)
    {
        EXPECT_TRUE(field.Backspace());
    }
    EXPECT_FALSE(field.Backspace());
    EXPECT_EQ(field.Text(), "");
    // The first text goes through the same rules as typing.
    EXPECT_EQ(TextField(Kind::Code, "abc-def").Text(), "ABCDEF");
    EXPECT_EQ(TextField(Kind::Port, "123456").Text(), "12345");
}

} // namespace
