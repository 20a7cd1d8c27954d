#include "app/NetMenu.h"

#include <GL/gl.h>

#include "app/SetupMenu.h"
#include "net/Message.h"
#include "net/RelayAddress.h"
#include "net/RelayProcess.h"
#include "net/ServerOptions.h"
#include "ui/Overlay.h"

namespace
{

const float kHeadingColour[4] = {0.2f, 0.2f, 1.0f, 1.0f};
const float kHighlightColour[4] = {1.0f, 0.4f, 0.6f, 1.0f};
const float kPlainColour[4] = {0.4f, 0.4f, 1.0f, 1.0f};
const float kPanelColour[4] = {0.0f, 0.0f, 0.5f, 1.0f};
const float kTextColour[4] = {1.0f, 1.0f, 0.6f, 1.0f}; // what is typed, and the code
const float kProblemColour[4] = {0.7f, 0.0f, 0.0f, 1.0f};

const char* const kFieldLabels[kFieldCount] = {"Address", "Port", "Code", "Name"};

constexpr int kPanelLeft = 480;
constexpr int kPanelRight = 670;
constexpr int kPanelTop = 320;

void DrawCentred(const Font& font, const std::string& text, int centreX, int y, int size, const float* colour)
{
    DrawText(font, text, centreX - TextWidth(font, text, size) / 2, y, size, colour);
}

// The end of the text that fits in width pixels.
std::string Tail(const Font& font, const std::string& text, int width)
{
    size_t start = 0;
    while (start < text.size() && TextWidth(font, text.substr(start), 12) > width)
    {
        start++;
    }
    return text.substr(start);
}

// A field: its label on the left, its box with the text (the end that fits,
// and a cursor when it has the focus).
void DrawField(const Font& font, const char* label, const std::string& text, int y0, bool focused,
               unsigned id)
{
    glStencilFunc(GL_ALWAYS, 1, 255);
    DrawText(font, label, 490, y0 + 3, 12, kHeadingColour);
    DrawButton("", 550, y0, 660, y0 + 20, kHeadingColour, focused ? kHighlightColour : kPlainColour, font,
               id);
    const std::string shown = Tail(font, text + (focused ? "_" : ""), 98);
    DrawText(font, shown, 556, y0 + 3, 12, kTextColour);
}

bool Hosting(const GameSetup& setup)
{
    return setup.net.role == NetChoice::Role::Host;
}

bool Joining(const GameSetup& setup)
{
    return setup.net.role == NetChoice::Role::Join;
}

void ChooseRole(NetMenuPanel& panel, GameSetup& setup, NetChoice::Role role)
{
    const NetChoice::Role was = setup.net.role;
    setup.net.role = was == role ? NetChoice::Role::None : role;
    panel.problem.clear();
    for (int i = 0; i < 4; i++)
    {
        // Hosting makes every person's seat but the first a remote player's;
        // anything else seats people at this screen again.
        setup.remote[i] = Hosting(setup) && i > 0 && !IsComputerSeat(setup.seats[i]);
    }
    if (Hosting(setup) && setup.net.code.empty())
    {
        setup.net.code = MakeGameCode();
    }
}

} // namespace

NetMenuPanel::NetMenuPanel()
    : fields{TextField(TextField::Kind::Address),
             TextField(TextField::Kind::Port, std::to_string(kDefaultPort)), TextField(TextField::Kind::Code),
             TextField(TextField::Kind::Name, DefaultPlayerName())}
{
}

void StartNetPanel(NetMenuPanel& panel, GameSetup& setup)
{
    const NetChoice net = setup.net;
    panel.fields[NetMenuPanel::PortField] = TextField(TextField::Kind::Port, std::to_string(net.port));
    panel.fields[NetMenuPanel::AddressField] = TextField(TextField::Kind::Address, net.address);
    panel.fields[NetMenuPanel::CodeField] = TextField(TextField::Kind::Code, net.code);
    if (!net.name.empty())
    {
        panel.fields[NetMenuPanel::NameField] = TextField(TextField::Kind::Name, net.name);
    }
    if (net.IsNetwork())
    {
        setup.net.role = NetChoice::Role::None;
        ChooseRole(panel, setup, net.role);
    }
}

bool ApplyNetClick(unsigned v, NetMenuPanel& panel, GameSetup& setup)
{
    if (v == kHostButtonId)
    {
        ChooseRole(panel, setup, NetChoice::Role::Host);
        panel.focus = NetMenuPanel::PortField;
        return true;
    }
    if (v == kJoinButtonId)
    {
        ChooseRole(panel, setup, NetChoice::Role::Join);
        panel.focus = NetMenuPanel::AddressField;
        return true;
    }
    const bool joinField = Joining(setup) && v >= kFirstFieldId && v < kFirstFieldId + kFieldCount;
    const bool hostField = Hosting(setup) && v == kFirstFieldId + NetMenuPanel::PortField;
    if (joinField || hostField)
    {
        panel.focus = int(v - kFirstFieldId);
        return true;
    }
    return false;
}

void CycleHostedSeat(GameSetup& setup, int seat)
{
    if (setup.remote[seat])
    {
        setup.remote[seat] = false;
        setup.seats[seat] = SeatKind::Human;
    }
    else if (setup.seats[seat] == SeatKind::ComputerHard)
    {
        setup.remote[seat] = true;
        setup.seats[seat] = SeatKind::Human;
    }
    else
    {
        setup.seats[seat] = NextSeatKind(setup.seats[seat]);
    }
}

bool NetPanelKey(NetMenuPanel& panel, const GameSetup& setup, char c)
{
    if (!Joining(setup) && !Hosting(setup))
    {
        return false;
    }
    if (Hosting(setup))
    {
        panel.focus = NetMenuPanel::PortField;
    }
    if (c == '\t')
    {
        if (Joining(setup))
        {
            panel.focus = (panel.focus + 1) % kFieldCount;
        }
        return true;
    }
    TextField& field = panel.fields[panel.focus];
    const bool changed = c == '\b' ? field.Backspace() : field.Type(c);
    if (changed)
    {
        panel.problem.clear(); // it was about what is being changed
    }
    return changed;
}

bool FinishNetChoice(NetMenuPanel& panel, GameSetup& setup)
{
    panel.problem.clear();
    if (!setup.net.IsNetwork())
    {
        return true;
    }
    long port = 0;
    if (!ParseBoundedNumber(panel.fields[NetMenuPanel::PortField].Text(), 1, 65535, port))
    {
        panel.problem = "The port is a number from 1 to 65535";
        return false;
    }
    setup.net.port = (unsigned short)port;
    const std::string& name = panel.fields[NetMenuPanel::NameField].Text();
    setup.net.name = IsValidName(name) ? name : DefaultPlayerName();
    if (Hosting(setup))
    {
        return true;
    }
    std::string host, error;
    unsigned short parsedPort = 0;
    const std::string& address = panel.fields[NetMenuPanel::AddressField].Text();
    if (address.empty() || !ParseRelayAddress(address + ":" + std::to_string(port), host, parsedPort, error))
    {
        panel.problem = "Type the address of the relay (the host's machine)";
        return false;
    }
    const std::string& code = panel.fields[NetMenuPanel::CodeField].Text();
    if (!IsValidCode(code))
    {
        panel.problem = "The game code is 6 to 16 letters and digits";
        return false;
    }
    if (!IsValidName(name))
    {
        panel.problem = "Type your name (1 to 20 characters)";
        return false;
    }
    setup.net.address = host;
    setup.net.code = code;
    return true;
}

void DrawNetPanel(const Font& font, const NetMenuPanel& panel, const GameSetup& setup)
{
    const int bottom = Joining(setup) ? 150 : Hosting(setup) ? 210 : 270;
    glStencilFunc(GL_ALWAYS, 1, 255);
    glColor4fv(kPanelColour);
    DrawBox(kPanelLeft, bottom, kPanelRight, kPanelTop, 4, false);
    DrawCentred(font, "Play over a network", (kPanelLeft + kPanelRight) / 2, kPanelTop, 12, kHeadingColour);
    DrawButton("Host", 500, 280, 570, 300, kHeadingColour, Hosting(setup) ? kHighlightColour : kPlainColour,
               font, kHostButtonId);
    DrawButton("Join", 580, 280, 650, 300, kHeadingColour, Joining(setup) ? kHighlightColour : kPlainColour,
               font, kJoinButtonId);
    if (Hosting(setup))
    {
        glStencilFunc(GL_ALWAYS, 1, 255);
        DrawText(font, "Code", 490, 253, 12, kHeadingColour);
        DrawText(font, setup.net.code, 556, 253, 12, kTextColour);
        DrawField(font, kFieldLabels[NetMenuPanel::PortField], panel.fields[NetMenuPanel::PortField].Text(),
                  220, true, kFirstFieldId + NetMenuPanel::PortField);
    }
    else if (Joining(setup))
    {
        for (int i = 0; i < kFieldCount; i++)
        {
            DrawField(font, kFieldLabels[i], panel.fields[i].Text(), 250 - 30 * i, panel.focus == i,
                      kFirstFieldId + unsigned(i));
        }
    }
    glStencilFunc(GL_ALWAYS, 1, 255);
    if (!panel.problem.empty())
    {
        DrawCentred(font, panel.problem, (kPanelLeft + kPanelRight) / 2, bottom - 20, 10, kProblemColour);
    }
}
