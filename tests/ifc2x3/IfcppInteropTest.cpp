// Files written after edits must load in IFC++, a reader that shares no
// code with ours.
#include "StepText.h"

#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcObjectDefinition.h>
#include <ifcpp/IFC4/include/IfcPropertySet.h>
#include <ifcpp/IFC4/include/IfcPropertySingleValue.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByProperties.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/reader/ReaderSTEP.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PeerLoad
{
    shared_ptr<BuildingModel> model = std::make_shared<BuildingModel>();
    std::vector<std::string> errors;
    std::vector<std::string> warnings;

    static void collect(void* self, shared_ptr<StatusCallback::Message> message)
    {
        auto* load = static_cast<PeerLoad*>(self);
        const std::string text = Step::String(message->m_message_text).toUtf8();
        if (message->m_message_type == StatusCallback::MESSAGE_TYPE_ERROR) {
            load->errors.push_back(text);
        } else if (message->m_message_type == StatusCallback::MESSAGE_TYPE_WARNING) {
            load->warnings.push_back(text);
        }
    }

    explicit PeerLoad(std::string text)
    {
        // On the heap: the library's idea of the reader's size is its own.
        auto reader = std::make_shared<ReaderSTEP>();
        reader->setMessageCallBack(this, &PeerLoad::collect);
        model->setMessageCallBack(this, &PeerLoad::collect);
        reader->loadModelFromString(text, model);
    }

    shared_ptr<BuildingEntity> entity(Step::Id key) const
    {
        const auto& entities = model->getMapIfcEntities();
        const auto it = entities.find(static_cast<int>(key));
        return it == entities.end() ? nullptr : it->second;
    }
};

struct Edits
{
    Step::Id property = 0;
    Step::Id set = 0;
    Step::Id relation = 0;
};

// Adds a property set to the object and renames it.
Edits edit(ifc2x3::ExpressDataSet& dataSet, ifc2x3::IfcObject* object)
{
    Edits edits;
    auto* property = dataSet.createEntity<ifc2x3::IfcPropertySingleValue>();
    property->setName("FireRating");
    property->setNominalValueValue(Step::Value::typed("IFCLABEL", Step::Value::string("REI 90")));
    auto* set = dataSet.createEntity<ifc2x3::IfcPropertySet>();
    set->setGlobalId("3Peer0Pset000000000000");
    set->setOwnerHistoryValue(object->getOwnerHistoryValue());
    set->setName("Pset_Peer");
    set->setHasProperties({property});
    auto* relation = dataSet.createEntity<ifc2x3::IfcRelDefinesByProperties>();
    relation->setGlobalId("3Peer0Relation00000000");
    relation->setOwnerHistoryValue(object->getOwnerHistoryValue());
    relation->setRelatedObjects({object});
    relation->setRelatingPropertyDefinition(set);
    object->setName("Renamed \xC3\xA4");
    edits.property = property->getKey();
    edits.set = set->getKey();
    edits.relation = relation->getKey();
    return edits;
}

void expectEditsPresent(const PeerLoad& peer, const Edits& edits, Step::Id object)
{
    auto property = std::dynamic_pointer_cast<IfcPropertySingleValue>(peer.entity(edits.property));
    ASSERT_TRUE(property);
    ASSERT_TRUE(property->m_Name);
    EXPECT_EQ(property->m_Name->m_value, L"FireRating");
    auto label = std::dynamic_pointer_cast<IfcLabel>(property->m_NominalValue);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->m_value, L"REI 90");

    auto set = std::dynamic_pointer_cast<IfcPropertySet>(peer.entity(edits.set));
    ASSERT_TRUE(set);
    ASSERT_EQ(set->m_HasProperties.size(), 1u);
    EXPECT_EQ(set->m_HasProperties[0], property);

    auto relation = std::dynamic_pointer_cast<IfcRelDefinesByProperties>(peer.entity(edits.relation));
    ASSERT_TRUE(relation);
    ASSERT_EQ(relation->m_RelatedObjects.size(), 1u);
    ASSERT_TRUE(relation->m_RelatedObjects[0]);
    EXPECT_EQ(relation->m_RelatedObjects[0]->m_entity_id, static_cast<int>(object));
    EXPECT_EQ(std::dynamic_pointer_cast<IfcPropertySet>(relation->m_RelatingPropertyDefinition), set);
}

TEST(IfcppPeer, ReadsTheEditedSmallModel)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    const Edits edits = edit(dataSet, dynamic_cast<ifc2x3::IfcObject*>(dataSet.get(21)));
    ASSERT_TRUE(dataSet.remove(43));
    ASSERT_TRUE(dataSet.remove(22));

    ifctest::TempDir dir;
    ASSERT_TRUE(dataSet.save(dir.file("edited.ifc")));
    const PeerLoad peer(ifctest::readFile(dir.file("edited.ifc")));
    EXPECT_TRUE(peer.errors.empty()) << peer.errors.front();
    EXPECT_EQ(peer.model->getMapIfcEntities().size(), dataSet.instanceCount());
    expectEditsPresent(peer, edits, 21);
    EXPECT_FALSE(peer.entity(43));
    EXPECT_FALSE(peer.entity(22));
    auto pset = std::dynamic_pointer_cast<IfcPropertySet>(peer.entity(40));
    ASSERT_TRUE(pset);
    EXPECT_EQ(pset->m_HasProperties.size(), 1u);
}

TEST(IfcppPeer, ReadsAnEditedSampleAsWellAsTheOriginal)
{
    const std::string path = ifctest::samplePath("AC11-Institute-Var-2-IFC.ifc");
    if (path.empty()) {
        GTEST_SKIP() << "sample not available";
    }
    const PeerLoad original(ifctest::readFile(path));

    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.open(path));
    auto& walls = dataSet.allOf<ifc2x3::IfcWallStandardCase>();
    ASSERT_GE(walls.size(), 2u);
    ifc2x3::IfcObject* wall = walls[0].get();
    const Step::Id wallKey = wall->getKey();
    const Step::Id deletedWall = walls[1]->getKey();
    const Edits edits = edit(dataSet, wall);
    ASSERT_TRUE(dataSet.remove(deletedWall));

    ifctest::TempDir dir;
    ASSERT_TRUE(dataSet.save(dir.file("edited.ifc")));
    const std::string text = ifctest::readFile(dir.file("edited.ifc"));
    EXPECT_FALSE(ifctest::mentionsKey(text, deletedWall));
    const PeerLoad peer(text);
    EXPECT_LE(peer.errors.size(), original.errors.size()) << peer.errors.back();
    EXPECT_LE(peer.warnings.size(), original.warnings.size()) << peer.warnings.back();
    EXPECT_EQ(peer.model->getMapIfcEntities().size(), original.model->getMapIfcEntities().size() + 3 - 1);
    expectEditsPresent(peer, edits, wallKey);
    EXPECT_FALSE(peer.entity(deletedWall));
}

} // namespace
