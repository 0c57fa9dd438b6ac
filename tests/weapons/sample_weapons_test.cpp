// The sample data's weapons.dat: every line makes its prototype under its name, and the sample
// mines can go off.
#include <string>

#include "core/PFile.h"
#include "core/PTextReader.h"
#include "weapons/PMine.h"
#include "weapons/WeaponDefinitions.h"
#include "sample_fixture.h"

namespace {

TEST_F(SampleWeaponsTest, EverySampleDefinitionMakesItsPrototype) {
    ASSERT_TRUE(m_weapons->Start());
    CPFile file("Data\\weapons.dat");
    ASSERT_EQ(file.Load(), 0);
    CPTextReader reader(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
    std::string line;
    SPWeaponLine definition;
    int lines = 0;
    while (reader.ReadLine(line)) {
        ASSERT_TRUE(SplitWeaponLine(line, definition)) << line;
        ASSERT_EQ(PoolSize(definition.name), 1u) << line;
        // Under its own name (not its model's), so that its copies come back to its pool.
        EXPECT_EQ(m_weapons->GetPool(definition.name)->front()->GetName(), definition.name);
        ++lines;
    }
    EXPECT_GT(lines, 40);
    for (const char* name : {"minelayer", "minelayer2"}) {
        const auto* mine = dynamic_cast<const CPMine*>(m_weapons->GetPool(name)->front().Get());
        ASSERT_NE(mine, nullptr) << name;
        EXPECT_GT(mine->GetTriggerRadius(), 0.0f) << name;
    }
    for (const auto& [name, info] : m_data->superWeaponInfos) EXPECT_EQ(PoolSize(name), 1u) << name;
}

}  // namespace
