// How the Hard player's plan ends a fight instead of drawing it out: ships
// on top of their target back off to fighting range, where their turrets
// bear, rather than wear each other down at point-blank range.

#include <gtest/gtest.h>

#include "ai/Tactics.h"

namespace
{

const Vector kStarts[4] = {Vector(0, 0, 800), Vector(0, 0, -800), Vector(-800, 0, 0), Vector(800, 0, 0)};

Knowledge TwoPlayers()
{
    Knowledge knowledge;
    knowledge.self = 0;
    knowledge.players = 2;
    std::copy(kStarts, kStarts + 4, knowledge.starts);
    return knowledge;
}

OwnShip Own(uint32_t id, ShipRole role, const Vector& position)
{
    OwnShip ship;
    ship.id = id;
    ship.role = role;
    ship.position = position;
    ship.speed = 20.0f;
    ship.yawRate = 30.0f;
    ship.moveTimeLeft = kTurnMoveSeconds;
    ship.sensorRange = 0.35f;
    ship.signature = role == ShipRole::Fighter ? 0.05f : 0.2f;
    return ship;
}

const ShipOrders& OrdersOf(const TurnPlan& plan, uint32_t id)
{
    for (const ShipOrders& order : plan.ships)
    {
        if (order.id == id)
        {
            return order;
        }
    }
    ADD_FAILURE() << "no orders for ship " << id;
    return plan.ships.front();
}

TEST(EndgameTest, AShipOnTopOfItsTargetBacksOffToFightingRange)
{
    const ClassBook book{std::vector<ClassProfile>()};
    const HardMemory memory;
    for (float apart : {10.0f, 30.0f, 90.0f})
    {
        Knowledge knowledge = TwoPlayers();
        knowledge.own.push_back(Own(1, ShipRole::Gunship, Vector(apart, 0, 0)));
        knowledge.contacts.push_back(
            Contact{50, 1, -1, ShipRole::Gunship, Vector(0, 0, 0), Orientation(), true});
        const TurnPlan plan = PlanTurn(knowledge, memory, book, Tuning(), std::vector<Vector>());
        const ShipOrders& order = OrdersOf(plan, 1);
        EXPECT_EQ(order.targetId, 50u) << apart;
        ASSERT_TRUE(order.move) << apart << " units apart";
        // Away from the target, out to where its turrets bear.
        EXPECT_NEAR(Length(order.destination), PreferredRange(ShipRole::Gunship), 1.0) << apart;
        EXPECT_GT(order.destination.x, apart) << apart;
    }
    // At fighting range it stays where it is and fires.
    Knowledge knowledge = TwoPlayers();
    knowledge.own.push_back(Own(1, ShipRole::Gunship, Vector(200, 0, 0)));
    knowledge.contacts.push_back(Contact{50, 1, -1, ShipRole::Gunship, Vector(0, 0, 0), Orientation(), true});
    const TurnPlan plan = PlanTurn(knowledge, memory, book, Tuning(), std::vector<Vector>());
    EXPECT_FALSE(OrdersOf(plan, 1).move);
}

} // namespace
