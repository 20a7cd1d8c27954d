// The menu's text fields: what each kind takes, its length, Backspace.
#include <gtest/gtest.h>

#include <string>

#include "ui/TextField.h"

namespace
{

using Kind = TextField::Kind;

TEST(TextField, EachKindTakesOnlyItsCharactersUpToItsLength)
{
    // Keys typed ('\b' is Backspace) into a field made with a first text; the
    // text kept and how many keys changed it.
    const struct
    {
        Kind kind;
        const char* first;
        std::string typed;
        std::string kept;
        int changes;
    } rows[] = {
        {Kind::Address, "", "127.0.0.1", "127.0.0.1", 9},
        {Kind::Address, "", "relay-2.example.org", "relay-2.example.org", 19},
        {Kind::Address, "", "a b:c/d_e", "abcde", 5},
        {Kind::Port, "", "24250", "24250", 5},
        {Kind::Port, "", "2a4-2 5", "2425", 4},
        {Kind::Code, "", "k7wq2m", "K7WQ2M", 6},
        {Kind::Code, "", "K7-WQ 2m!", "K7WQ2M", 6},
        {Kind::Name, "", "Bo Li", "Bo Li", 5},
        {Kind::Name, "", "  Bo", "Bo", 2}, // a name never starts with a space
        {Kind::Name, "", "A\tB\nC\x7f~", "ABC~", 4},
        // A full field refuses more.
        {Kind::Address, "", std::string(41, '1'), std::string(40, '1'), 40},
        {Kind::Port, "", "123456", "12345", 5},
        {Kind::Code, "", "ABCDEFGHJK2345678", "ABCDEFGHJK234567", 16},
        {Kind::Name, "", "Bo the Brave of Fenn!", "Bo the Brave of Fenn", 20},
        // Backspace takes the last character, until there is none.
        {Kind::Port, "24250", "\b1", "24251", 2},
        {Kind::Port, "24250", "\b\b\b\b\b\b", "", 5},
        // The first text goes through the same rules as typing.
        {Kind::Code, "abc-def", "", "ABCDEF", 0},
        {Kind::Port, "123456", "", "12345", 0},
    };
    for (const auto& row : rows)
    {
        TextField field(row.kind, row.first);
        int changes = 0;
        for (const char c : row.typed)
        {
            changes += (c == '\b' ? field.Backspace() : field.Type(c)) ? 1 : 0;
        }
        EXPECT_EQ(field.Text(), row.kept) << row.typed;
        EXPECT_EQ(changes, row.changes) << row.typed;
    }
}

} // namespace
