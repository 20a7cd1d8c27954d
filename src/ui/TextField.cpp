#include "ui/TextField.h"

namespace
{

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

TextField::TextField(Kind kind_, const std::string& initial) : kind(kind_)
{
    for (char c : initial)
    {
        Type(c);
    }
}

size_t TextField::MaxLength() const
{
    switch (kind)
    {
    case Kind::Address:
        return 40;
    case Kind::Port:
        return 5;
    case Kind::Code:
        return 16;
    case Kind::Name:
        break;
    }
    return 20;
}

bool TextField::Type(char c)
{
    if (text.size() >= MaxLength())
    {
        return false;
    }
    bool takes = false;
    switch (kind)
    {
    case Kind::Address:
        takes = IsLetter(c) || IsDigit(c) || c == '.' || c == '-';
        break;
    case Kind::Port:
        takes = IsDigit(c);
        break;
    case Kind::Code:
        takes = IsLetter(c) || IsDigit(c);
        if (c >= 'a' && c <= 'z')
        {
            c = char(c - 'a' + 'A');
        }
        break;
    case Kind::Name:
        // Printable, and no leading space: a name is never all spaces.
        takes = c >= ' ' && c <= '~' && !(c == ' ' && text.empty());
        break;
    }
    if (takes)
    {
        text += c;
    }
    return takes;
}

bool TextField::Backspace()
{
    if (text.empty())
    {
        return false;
    }
    text.pop_back();
    return true;
}
