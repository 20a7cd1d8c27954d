#ifndef KORVANE_UI_TEXTFIELD_H
#define KORVANE_UI_TEXTFIELD_H

#include <cstddef>
#include <string>

// A line of text a player types into: characters are added at the end and
// Backspace takes the last one away. Each kind of field takes only the
// characters its text can hold, up to its length, so that what is typed is
// always something the field's reader may be handed.
class TextField
{
  public:
    enum class Kind
    {
        Address, // a host name or IPv4 address: letters, digits, '.', '-'
        Port,    // digits
        Code,    // a game code: letters (taken as capitals) and digits
        Name,    // a player's name: printable characters
    };

    explicit TextField(Kind kind, const std::string& text = std::string());

    // Adds a typed character; false (nothing changes) when the field does not
    // take it or is full.
    bool Type(char c);
    // Takes the last character away; false when there is none.
    bool Backspace();

    const std::string& Text() const { return text; }
    Kind GetKind() const { return kind; }
    // The most characters the field holds.
    size_t MaxLength() const;

  private:
    Kind kind;
    std::string text;
};

#endif
