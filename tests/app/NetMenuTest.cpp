// The menu's network panel: "Host" and "Join", the seats while hosting, the
// fields typed into, and what "Begin" makes of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/NetGame.h"
#include "app/NetMenu.h"
#include "app/SetupMenu.h"

namespace
{

const std::vector<std::string> kMaps = {"map1", "map2", "map3", "map4"};

void Type(NetMenuPanel& panel, const GameSetup& setup, const std::string& keys)
{
    for (char c : keys)
        NetPanelKey(panel, setup, c);
}

// A fresh panel and set-up for each test.
class NetMenu : public ::testing::Test
{
  protected:
    NetMenuPanel panel;
    GameSetup setup;
};

TEST_F(NetMenu, HostAndJoinAreChosenAndUnchosenByTheirButtons)
{
    setup.numPlayers = 3;
    EXPECT_TRUE(ApplyNetClick(kHostButtonId, panel, setup));
    EXPECT_EQ(setup.net.role, NetChoice::Role::Host);
    EXPECT_EQ(setup.net.code.size(), 6u);
    // Every person's seat but the first is a remote player's now.
    EXPECT_EQ(std::vector<bool>(setup.remote, setup.remote + 3), (std::vector<bool>{false, true, true}));
    EXPECT_TRUE(ApplyNetClick(kJoinButtonId, panel, setup));
    EXPECT_EQ(setup.net.role, NetChoice::Role::Join);
    EXPECT_FALSE(setup.remote[1]);
    EXPECT_TRUE(ApplyNetClick(kJoinButtonId, panel, setup));
    EXPECT_EQ(setup.net.role, NetChoice::Role::None);
    EXPECT_STREQ(SeatLabel(setup, 1), "Human");
    // Ids that are not the panel's are left to the rest of the menu; the
    // fields answer only while they are shown.
    for (unsigned v : {0u, 1u, 2u, 5u, 10u, 98u, 99u, 106u, 255u, kFirstFieldId, kFirstFieldId + 3})
        EXPECT_FALSE(ApplyNetClick(v, panel, setup)) << v;
    EXPECT_EQ(setup.net.role, NetChoice::Role::None);
}

TEST_F(NetMenu, AHostsSeatCyclesThroughRemote)
{
    ApplyNetClick(kHostButtonId, panel, setup);
    const char* const cycle[] = {"Human", "Computer (Easy)", "Computer (Hard)", "Remote", "Human"};
    ASSERT_STREQ(SeatLabel(setup, 0), cycle[0]);
    for (int step = 1; step < 5; step++)
    {
        EXPECT_FALSE(ApplyMenuClick(kFirstSeatButtonId, kMaps, setup));
        EXPECT_STREQ(SeatLabel(setup, 0), cycle[step]) << step;
    }
    // At a single screen the cycle has no Remote.
    ApplyNetClick(kHostButtonId, panel, setup);
    setup.seats[1] = SeatKind::ComputerHard;
    ApplyMenuClick(kFirstSeatButtonId + 1, kMaps, setup);
    EXPECT_STREQ(SeatLabel(setup, 1), "Human");
}

TEST_F(NetMenu, TheHostsPlanFollowsTheSeats)
{
    setup.numPlayers = 4;
    setup.seats[1] = SeatKind::ComputerEasy;
    setup.seats[3] = SeatKind::ComputerHard;
    setup.remote[2] = true;
    EXPECT_EQ(HostSeatPlan(setup), (std::vector<SeatPlan>{SeatPlan::HostHuman, SeatPlan::HostComputer,
                                                          SeatPlan::Open, SeatPlan::HostComputer}));
    setup.numPlayers = 2;
    EXPECT_EQ(HostSeatPlan(setup), (std::vector<SeatPlan>{SeatPlan::HostHuman, SeatPlan::HostComputer}));
}

TEST_F(NetMenu, KeysGoToTheFocusedFieldAndTabMovesOn)
{
    EXPECT_FALSE(NetPanelKey(panel, setup, '1')); // nothing chosen: the keys are the menu's
    ApplyNetClick(kJoinButtonId, panel, setup);
    Type(panel, setup, "192.0.2.10");
    EXPECT_EQ(panel.fields[NetMenuPanel::AddressField].Text(), "192.0.2.10");
    EXPECT_TRUE(NetPanelKey(panel, setup, '\t'));
    Type(panel, setup, "\b\b\b\b\b3000");
    EXPECT_EQ(panel.fields[NetMenuPanel::PortField].Text(), "3000");
    EXPECT_TRUE(ApplyNetClick(kFirstFieldId + NetMenuPanel::CodeField, panel, setup));
    Type(panel, setup, "k7wq2m");
    EXPECT_EQ(panel.fields[NetMenuPanel::CodeField].Text(), "K7WQ2M");
    Type(panel, setup, "\t\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\bBo");
    EXPECT_EQ(panel.fields[NetMenuPanel::NameField].Text(), "Bo");
    EXPECT_FALSE(NetPanelKey(panel, setup, '\n'));
    EXPECT_TRUE(NetPanelKey(panel, setup, '\t'));
    EXPECT_EQ(panel.focus, NetMenuPanel::AddressField); // round again
    // A host types only its port.
    ApplyNetClick(kHostButtonId, panel, setup);
    Type(panel, setup, "\b\b\b\b\b\b4000x");
    EXPECT_EQ(panel.fields[NetMenuPanel::PortField].Text(), "4000");
}

TEST_F(NetMenu, BeginNeedsAnAddressAPortACodeAndANameToJoinAPortToHostAndNothingAtOneScreen)
{
    using Role = NetChoice::Role;
    const struct
    {
        Role role;
        const char *address, *port, *code, *name;
        const char* problem; // empty: begins
    } rows[] = {
        {Role::None, "", "", "", "", ""},
        {Role::Host, "", "99999", "", "", "The port is a number from 1 to 65535"},
        {Role::Host, "", "4000", "", "", ""},
        {Role::Join, "192.0.2.10", "3000", "K7WQ2M", "Bo", ""},
        {Role::Join, "relay.example.org", "24250", "ABCDEF0123456789", "Bo", ""},
        {Role::Join, "", "3000", "K7WQ2M", "Bo", "Type the address of the relay (the host's machine)"},
        {Role::Join, "192.0.2.10", "", "K7WQ2M", "Bo", "The port is a number from 1 to 65535"},
        {Role::Join, "192.0.2.10", "0", "K7WQ2M", "Bo", "The port is a number from 1 to 65535"},
        {Role::Join, "192.0.2.10", "65536", "K7WQ2M", "Bo", "The port is a number from 1 to 65535"},
        {Role::Join, "192.0.2.10", "3000", "K7WQ2", "Bo", "The game code is 6 to 16 letters and digits"},
        {Role::Join, "192.0.2.10", "3000", "", "Bo", "The game code is 6 to 16 letters and digits"},
        // The last row: its problem is checked on below.
        {Role::Join, "h", "24250", "ABCDEF", "", "Type your name (1 to 20 characters)"},
    };
    for (const auto& row : rows)
    {
        panel = NetMenuPanel();
        setup = GameSetup();
        if (row.role != Role::None)
            ApplyNetClick(row.role == Role::Host ? kHostButtonId : kJoinButtonId, panel, setup);
        // The fields as typed.
        panel.fields[NetMenuPanel::AddressField] = TextField(TextField::Kind::Address, row.address);
        panel.fields[NetMenuPanel::PortField] = TextField(TextField::Kind::Port, row.port);
        panel.fields[NetMenuPanel::CodeField] = TextField(TextField::Kind::Code, row.code);
        panel.fields[NetMenuPanel::NameField] = TextField(TextField::Kind::Name, row.name);
        const bool begins = std::string(row.problem).empty();
        const std::string what = std::string(row.address) + " " + row.port + " " + row.code + " " + row.name;
        EXPECT_EQ(FinishNetChoice(panel, setup), begins) << what;
        EXPECT_EQ(panel.problem, row.problem) << what;
        EXPECT_EQ(setup.net.IsNetwork(), row.role != Role::None);
        if (begins && row.role == Role::Host)
        {
            EXPECT_EQ(setup.net.port, std::stoi(row.port));
        }
        if (begins && row.role == Role::Join)
        {
            EXPECT_EQ(setup.net.address + ":" + std::to_string(setup.net.port) + " " + setup.net.code + " " +
                          setup.net.name,
                      std::string(row.address) + ":" + row.port + " " + row.code + " Bo");
        }
    }
    // The last row's problem: Tab and a refused character leave it; typing
    // into a field clears it.
    NetPanelKey(panel, setup, '\t');
    ApplyNetClick(kFirstFieldId + NetMenuPanel::NameField, panel, setup);
    NetPanelKey(panel, setup, '\x01');
    EXPECT_FALSE(panel.problem.empty());
    NetPanelKey(panel, setup, 'B');
    EXPECT_EQ(panel.problem, "");
}

} // namespace
