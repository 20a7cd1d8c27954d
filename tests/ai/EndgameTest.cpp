// How the Hard player's plan ends a fight instead of drawing it out: ships
// on top of their target back off to fighting range, where their turrets
// bear, rather than wear each other down at point-blank range, and ships
// steeply above or below their target close in height; in a duel of one
// capital ship a side neither turns a fresh face to the other, and a ship in
// sight of its target holds still and fires rather than lose sight of it in
// the dust of the battle; a small fleet
// hunting in a cloud steps out now and then to look round, over the cloud's
// top where its ships meet rather than out of its two faces, and in the middle
// of the game gathers over the middle of the map, where a rival that hunts
// it comes too or sends a lookout; and the hunt finds a fighter that keeps
// still in the dust of its squadron's wrecks.

#include <gtest/gtest.h>

#include <cmath>

#include "ai/HardTest.h"
#include "ai/Search.h"

namespace
{

// The memory, in `turn`, of a fleet that last saw an enemy ship in turn
// `lastSight`, lost it in a corner of the cloud and has looked there since:
// nothing left to go to but the search.
HardMemory LostOneShip(int32_t turn = 0, int32_t lastSight = 0)
{
    HardMemory memory;
    memory.turn = turn;
    memory.lastSightTurn = lastSight;
    ContactTrack lost;
    lost.id = 50;
    lost.owner = 1;
    lost.position = Vector(250, 0, 250);
    lost.checked = true;
    lost.lastSeenTurn = lastSight;
    memory.tracks.push_back(lost);
    return memory;
}

// The orders of a gunship at `own` that sees one enemy gunship, id 50, at
// `enemy`; unless `duel`, the enemy has a second ship, out of sight far off.
ShipOrders GunshipOrders(const Vector& own, const Vector& enemy, bool duel = false)
{
    Knowledge knowledge = Seat(0, 2);
    knowledge.own.push_back(Own(1, ShipRole::Gunship, own));
    knowledge.contacts.push_back(Contact{50, 1, -1, ShipRole::Gunship, enemy, Orientation(), true});
    if (!duel)
    {
        knowledge.contacts.push_back(
            Contact{52, 1, -1, ShipRole::Carrier, Vector(-600, 0, -600), Orientation(), false});
    }
    return OrdersOf(PlanTurn(knowledge, HardMemory(), kNoClasses, Tuning(), std::vector<Vector>()), 1);
}

TEST(EndgameTest, AShipOnTopOfItsTargetOrSteeplyAboveOrBelowItGoesWhereItsTurretsBear)
{
    for (float apart : {10.0f, 30.0f, 90.0f})
    {
        const ShipOrders order = GunshipOrders(Vector(apart, 0, 0), Vector(0, 0, 0));
        EXPECT_EQ(order.targetId, 50u) << apart;
        ASSERT_TRUE(order.move) << apart << " units apart";
        // Away from the target, out to where its turrets bear.
        EXPECT_NEAR(Length(order.destination), PreferredRange(ShipRole::Gunship), 1.0) << apart;
        EXPECT_GT(order.destination.x, apart) << apart;
    }
    // Within fighting range it stays where it is and fires, unless the target is
    // so far above or below it that the guns on one side of its hull do not
    // bear (more than 20 degrees off level): then it goes half way to the
    // target's height as far out as it is, at least 100 units; backing out
    // to fighting range would take a target in dust out of sight.
    for (float apart : {60.0f, 130.0f, 200.0f})
    {
        for (float height : {0.0f, 60.0f, -60.0f, 80.0f, -90.0f, 150.0f, -150.0f})
        {
            const float distance = std::hypot(apart, height);
            if (distance < 110.0f)
            {
                continue;
            }
            const ShipOrders order = GunshipOrders(Vector(apart, 0, 0), Vector(0, height, 0));
            EXPECT_EQ(order.targetId, 50u) << apart << " " << height;
            if (std::fabs(height) < 0.36f * apart)
            {
                EXPECT_FALSE(order.move) << apart << " " << height;
                continue;
            }
            ASSERT_TRUE(order.move) << apart << " " << height;
            EXPECT_NEAR(order.destination.y, height / 2, 1.0) << apart << " " << height;
            EXPECT_NEAR(order.destination.x, std::max(apart, 100.0f), 1.0) << apart << " " << height;
            EXPECT_NEAR(order.destination.z, 0.0, 1.0) << apart << " " << height;
        }
    }
}

TEST(EndgameTest, InADuelAShipInSightOfItsTargetHoldsStillAndFiresUnlessRightOnTopOfIt)
{
    // The last two ships meet in the dust of the battle, where they see each
    // other only close: backing out to fighting range, or climbing to the
    // target's height, would take the target out of sight again. From 50
    // units to fighting range the ship holds where it is, whatever the height.
    for (const Vector& enemy : {Vector(0, 0, 0), Vector(40, 0, 0), Vector(0, 150, 0), Vector(0, -90, 0)})
    {
        for (float apart : {110.0f, 200.0f, 270.0f})
        {
            const ShipOrders order = GunshipOrders(enemy + Vector(apart, 0, 0), enemy, true);
            EXPECT_EQ(order.targetId, 50u);
            EXPECT_FALSE(order.move) << apart << " units from (" << enemy.x << ", " << enemy.y << ")";
        }
    }
    EXPECT_FALSE(GunshipOrders(Vector(60, 0, 0), Vector(0, 0, 0), true).move);
    // Nearer than that few of its turrets bear: out to fighting range.
    const ShipOrders onTop = GunshipOrders(Vector(30, 0, 0), Vector(0, 0, 0), true);
    ASSERT_TRUE(onTop.move);
    EXPECT_NEAR(Length(onTop.destination), PreferredRange(ShipRole::Gunship), 1.0);
    // Out of its fighting range it closes in as ever.
    const ShipOrders far = GunshipOrders(Vector(500, 0, 0), Vector(0, 0, 0), true);
    ASSERT_TRUE(far.move);
    EXPECT_LT(far.destination.x, 500.0f);
}

TEST(EndgameTest, OnlyInADuelOfOneCapitalShipASideDoesAShipKeepItsFaceToTheEnemyAfterFiring)
{
    const Contact enemy{50, 1, -1, ShipRole::Gunship, Vector(0, 0, 0), Orientation(), true};
    const Contact fighter{51, 1, -1, ShipRole::Fighter, Vector(0, 0, 100), Orientation(), true};
    const Contact ghost{52, 1, -1, ShipRole::Carrier, Vector(-600, 0, 0), Orientation(), false};
    struct Case
    {
        const char* name;
        bool secondOwnShip;
        std::vector<Contact> contacts;
        bool guard;
    };
    const Case cases[] = {
        {"one a side", false, {enemy}, false},
        {"one a side and an enemy fighter", false, {enemy, fighter}, false},
        {"a second own ship", true, {enemy}, true},
        {"a second enemy ship out of sight", false, {enemy, ghost}, true},
    };
    for (int doctrine : {0, 1})
    {
        Tuning tuning;
        tuning.doctrine = doctrine;
        for (const Case& c : cases)
        {
            Knowledge knowledge = Seat(0, 2);
            knowledge.own.push_back(Own(1, ShipRole::Gunship, Vector(200, 0, 0)));
            if (c.secondOwnShip)
            {
                knowledge.own.push_back(Own(2, ShipRole::Carrier, Vector(300, 0, 500)));
            }
            knowledge.contacts = c.contacts;
            const TurnPlan plan =
                PlanTurn(knowledge, HardMemory(), kNoClasses, tuning, std::vector<Vector>());
            EXPECT_EQ(OrdersOf(plan, 1).guard, c.guard) << c.name << ", doctrine " << doctrine;
        }
    }
}

// The orders, in turn 30, of a fleet that lost its enemy in the clouds
// `unseen` turns before: gunships 1, 2, ..., one at each of the given heights,
// 30 apart along x.
std::vector<ShipOrders> HuntOrders(const std::vector<NebulaBox>& nebulae, int32_t unseen,
                                   const std::vector<float>& heights)
{
    Knowledge knowledge = Seat(0, 2);
    knowledge.nebulae = nebulae;
    for (size_t i = 0; i < heights.size(); i++)
    {
        knowledge.own.push_back(
            Own(uint32_t(1 + i), ShipRole::Gunship, Vector(float(i) * 30.0f, heights[i], 0)));
    }
    const TurnPlan plan =
        PlanTurn(knowledge, LostOneShip(30, 30 - unseen), kNoClasses, Tuning(), SearchGrid(nebulae, 60.0f));
    std::vector<ShipOrders> orders;
    for (uint32_t id = 1; id <= heights.size(); id++)
    {
        orders.push_back(OrdersOf(plan, id));
    }
    return orders;
}

TEST(EndgameTest, ASmallFleetHuntingInACloudStepsOutNowAndThenToLookRound)
{
    const std::vector<NebulaBox> cloud{NebulaBox{Vector(-300, -50, -300), Vector(300, 50, 300), 0.015f}};
    // Three to five, nine to eleven turns without sight: out over the cloud's
    // top.
    for (int32_t unseen : {3, 4, 5, 9, 10, 11})
    {
        for (size_t ships : {1, 2})
        {
            SCOPED_TRACE(testing::Message() << unseen << " turns unseen, " << ships << " ships");
            const std::vector<ShipOrders> orders = HuntOrders(cloud, unseen, std::vector<float>(ships, 0.0f));
            for (size_t i = 0; i < ships; i++)
            {
                ASSERT_TRUE(orders[i].move);
                EXPECT_EQ(DensityAt(cloud, orders[i].destination), 0.0f);
                EXPECT_LT(Length(orders[i].destination - Vector(float(i) * 30.0f, 0, 0)), 100.0);
            }
        }
    }
    // Other turns, and a fleet of three at any turn: searching the cloud.
    for (const auto& [unseen, ships] :
         {std::pair{6, 1}, std::pair{8, 2}, std::pair{12, 1}, std::pair{3, 3}, std::pair{9, 3}})
    {
        SCOPED_TRACE(testing::Message() << unseen << " turns unseen, " << ships << " ships");
        for (const ShipOrders& order : HuntOrders(cloud, unseen, std::vector<float>(size_t(ships), 0.0f)))
        {
            ASSERT_TRUE(order.move);
            EXPECT_GT(DensityAt(cloud, order.destination), 0.0f);
        }
    }
    // A ship already out in the open holds there for the look round, and goes
    // back into the cloud for the search after it.
    EXPECT_FALSE(HuntOrders(cloud, 4, {200.0f})[0].move);
    const ShipOrders back = HuntOrders(cloud, 6, {200.0f})[0];
    ASSERT_TRUE(back.move);
    EXPECT_GT(DensityAt(cloud, back.destination), 0.0f);
}

// Where the two ships of a small fleet, one at each height, step out of the
// clouds for their first look round.
std::vector<Vector> LookRoundFrom(const std::vector<NebulaBox>& nebulae, float lowHeight, float highHeight)
{
    std::vector<Vector> destinations;
    for (const ShipOrders& order : HuntOrders(nebulae, 3, {lowHeight, highHeight}))
    {
        EXPECT_TRUE(order.move) << "ship " << order.id;
        destinations.push_back(order.destination);
    }
    return destinations;
}

TEST(EndgameTest, TwoShipsLookingRoundFromOneCloudMeetOverItsTopUnlessItIsTooHigh)
{
    // A cloud 100 high: from near its bottom as from near its top, straight
    // up and out over it, so the two see each other's way.
    const std::vector<NebulaBox> flat{NebulaBox{Vector(-300, -50, -300), Vector(300, 50, 300), 0.015f}};
    const std::vector<Vector> overFlat = LookRoundFrom(flat, -40.0f, 40.0f);
    EXPECT_EQ(overFlat[0], Vector(0, 80, 0));
    EXPECT_EQ(overFlat[1], Vector(30, 80, 0));
    // Two clouds one over the other with a gap of 20 between them: over the
    // top of the upper one, not into the gap.
    std::vector<NebulaBox> stacked = flat;
    stacked.push_back(NebulaBox{Vector(-300, 70, -300), Vector(300, 200, 300), 0.015f});
    for (const Vector& point : LookRoundFrom(stacked, -40.0f, 40.0f))
    {
        EXPECT_GT(point.y, 200.0f);
        EXPECT_EQ(DensityAt(stacked, point), 0.0f);
    }
    // A cloud that goes up further than a look round climbs: out by the
    // nearest way, under its bottom from low in it.
    const std::vector<NebulaBox> tall{NebulaBox{Vector(-300, -50, -300), Vector(300, 400, 300), 0.015f}};
    for (const Vector& point : LookRoundFrom(tall, -40.0f, -30.0f))
    {
        EXPECT_LT(point.y, -50.0f);
        EXPECT_EQ(DensityAt(tall, point), 0.0f);
    }
}

TEST(EndgameTest, FromTurn14To24ASmallFleetGathersOverTheMiddleAndALargerOneSendsALookout)
{
    Knowledge knowledge = Seat(0, 2);
    knowledge.nebulae.push_back(NebulaBox{Vector(-300, -50, -300), Vector(300, 50, 300), 0.015f});
    knowledge.nebulae.push_back(NebulaBox{Vector(400, 0, 400), Vector(500, 120, 500), 0.01f});
    knowledge.nebulae.push_back(NebulaBox{Vector(-500, 300, -500), Vector(-400, 400, -400), 0.0f}); // no dust
    const std::vector<Vector> grid = SearchGrid(knowledge.nebulae, 60.0f);
    HardMemory memory = LostOneShip();
    const auto plan = [&](int32_t turn, int ships, int fighters)
    {
        memory.turn = turn;
        memory.lastSightTurn = 5;
        knowledge.own.clear();
        for (int i = 0; i < ships + fighters; i++)
        {
            knowledge.own.push_back(Own(uint32_t(1 + i), i < ships ? ShipRole::Gunship : ShipRole::Fighter,
                                        Vector(float(i) * 30.0f, 0, 0)));
        }
        return PlanTurn(knowledge, memory, kNoClasses, Tuning(), grid);
    };
    // Over the middle of the starting points, 160 above the highest cloud
    // with dust in it, each ship a place of its own; with no capital ship
    // left the fighters go too, else they search on.
    const Vector gathering(0, 280, 0);
    for (int32_t turn : {14, 15, 16, 20, 21, 22})
    {
        for (const auto& [ships, fighters] : {std::pair{1, 0}, std::pair{2, 2}, std::pair{0, 2}})
        {
            const TurnPlan gather = plan(turn, ships, fighters);
            std::vector<Vector> places;
            for (int i = 0; i < ships + fighters; i++)
            {
                const ShipOrders& order = OrdersOf(gather, uint32_t(1 + i));
                ASSERT_TRUE(order.move) << turn << ": ship " << i;
                if (i >= ships && ships > 0)
                {
                    EXPECT_GT(DensityAt(knowledge.nebulae, order.destination), 0.0f) << turn << ": " << i;
                    continue;
                }
                EXPECT_FLOAT_EQ(order.destination.y, gathering.y) << turn << ": " << i;
                EXPECT_LE(Length(order.destination - gathering), 30.001) << turn << ": " << i;
                for (const Vector& other : places)
                {
                    EXPECT_GT(Length(order.destination - other), 10.0) << turn << ": " << i;
                }
                places.push_back(order.destination);
            }
        }
    }
    // A fleet of three sends the ship that gets there first, here the one
    // nearest above, and searches on with the others.
    for (int32_t turn : {14, 16, 20, 22})
    {
        memory.turn = turn;
        knowledge.own = {
            Own(1, ShipRole::Gunship, Vector(0, 0, 0)), Own(2, ShipRole::Fighter, Vector(0, 200, 0)),
            Own(3, ShipRole::Beamship, Vector(60, 150, 0)), Own(4, ShipRole::Carrier, Vector(-60, 0, 0))};
        const TurnPlan lookout = PlanTurn(knowledge, memory, kNoClasses, Tuning(), grid);
        for (uint32_t id : {1u, 2u, 3u, 4u})
        {
            const ShipOrders& order = OrdersOf(lookout, id);
            ASSERT_TRUE(order.move) << turn << ": ship " << id;
            EXPECT_EQ(Length(order.destination - gathering) == 0.0, id == 3) << turn << ": ship " << id;
        }
    }
    // In the turns between, and from turn 25, it hunts as before (in the
    // cloud, or at its edge for a look round); so does a fleet of three.
    for (const auto& [turn, ships] : {std::pair{17, 1}, std::pair{19, 2}, std::pair{23, 1}, std::pair{26, 2},
                                      std::pair{30, 1}, std::pair{17, 3}, std::pair{25, 3}})
    {
        const TurnPlan hunt = plan(turn, ships, 0);
        for (int i = 0; i < ships; i++)
        {
            const ShipOrders& order = OrdersOf(hunt, uint32_t(1 + i));
            ASSERT_TRUE(order.move) << turn << ", " << ships << " ships";
            EXPECT_GT(Length(order.destination - gathering), 150.0) << turn << ", " << ships << " ships";
        }
    }
}

TEST(EndgameTest, TheHuntFindsAFighterKeepingStillInThePiledDustOfItsSquadronsWrecks)
{
    // A squadron hid in a cloud and lost five fighters there; the wrecks' dust
    // (100 across, each where a wreck burnt) piles up so thick round the last
    // one that a frigate sees it only within about 16 units, and it sits 38
    // from the nearest wreck.
    Knowledge knowledge = Seat(0, 2);
    knowledge.nebulae.push_back(NebulaBox{Vector(-200, -50, -200), Vector(200, 50, 200), 0.025f});
    for (const Vector& wreck :
         {Vector(88, 0, 88), Vector(112, 0, 88), Vector(88, 0, 112), Vector(100, 0, 76), Vector(76, 0, 100)})
    {
        knowledge.nebulae.push_back(NebulaBox{wreck - Vector(50, 50, 50), wreck + Vector(50, 50, 50), 0.02f});
    }
    const Vector hidden(124, 0, 124);
    ASSERT_NEAR(DensityAt(knowledge.nebulae, hidden), 0.125f, 1e-6f);
    const std::vector<Vector> grid = SearchGrid(knowledge.nebulae, 160.0f);
    // One searcher goes from search point to search point, three a turn, and
    // looks from each. The number of points it goes to before the fighter is
    // in sight, and whether it went into the pile (dust of two wrecks or
    // more) before every point outside it had been looked at.
    const auto hunt = [&](ShipRole role, bool& pileFirst)
    {
        knowledge.own = {Own(1, role, Vector(0, 0, -400))};
        OwnShip& searcher = knowledge.own[0];
        searcher.sensorRange = role == ShipRole::Fighter ? 0.2f : 0.35f;
        HardMemory memory = LostOneShip();
        GridDensity density;
        pileFirst = false;
        constexpr int kPoints = 300;
        for (int looked = 0; looked < kPoints; looked++)
        {
            memory.turn = 1 + looked / 3;
            MarkSearched(memory, knowledge, grid, density, 0.05f);
            if (!HiddenFrom(knowledge.nebulae, searcher.position, searcher.sensorRange, hidden, 0.05f))
            {
                return looked;
            }
            Vector next;
            EXPECT_TRUE(NextSearchPoint(knowledge, memory, grid, searcher.position, {},
                                        role == ShipRole::Fighter, next));
            if (DensityAt(knowledge.nebulae, next) > 0.065f && !pileFirst)
            {
                for (size_t i = 0; i < grid.size(); i++)
                {
                    pileFirst = pileFirst || (DensityAt(knowledge.nebulae, grid[i]) < 0.065f &&
                                              memory.searchedTurn[i] == 0);
                }
            }
            searcher.position = next;
        }
        return kPoints;
    };
    // A fighter scouts the pile as soon as it is nearest; a frigate, nearly
    // blind in it, looks through the rest of the cloud first. Both find the
    // fighter within their first visits to the pile.
    bool pileFirst = false;
    EXPECT_LT(hunt(ShipRole::Fighter, pileFirst), 12);
    EXPECT_TRUE(pileFirst);
    EXPECT_LT(hunt(ShipRole::Gunship, pileFirst), 30);
    EXPECT_FALSE(pileFirst);

    // In the fleet's plan, three frigates beside the pile leave it to the
    // fighters while an enemy ship is at large, and search it themselves once
    // only a fighter is left to find.
    knowledge.own.clear();
    for (uint32_t id : {1u, 2u, 3u})
    {
        knowledge.own.push_back(Own(id, ShipRole::Gunship, Vector(60.0f + 10.0f * float(id), 0, 60)));
    }
    for (ShipRole lost : {ShipRole::Gunship, ShipRole::Fighter})
    {
        HardMemory memory = LostOneShip(30, 24);
        memory.tracks[0].role = int32_t(lost);
        GridDensity density;
        MarkSearched(memory, knowledge, grid, density, 0.05f);
        const TurnPlan plan = PlanTurn(knowledge, memory, kNoClasses, Tuning(), grid);
        int intoPile = 0;
        for (uint32_t id : {1u, 2u, 3u})
        {
            ASSERT_TRUE(OrdersOf(plan, id).move) << id;
            intoPile += DensityAt(knowledge.nebulae, OrdersOf(plan, id).destination) > 0.065f;
        }
        EXPECT_EQ(intoPile, lost == ShipRole::Fighter ? 3 : 0);
    }
}

} // namespace
