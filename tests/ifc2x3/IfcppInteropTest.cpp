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

/// Adds a property set to the object, renames it and deletes another
/// instance, saves, and checks what IFC++ reads of the file.
void editAndCheckPeer(ifc2x3::ExpressDataSet& dataSet, ifc2x3::IfcObject* object, Step::Id deleted,
                      std::unique_ptr<PeerLoad>& peer)
{
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
    ASSERT_TRUE(dataSet.remove(deleted));

    ifctest::TempDir dir;
    ASSERT_TRUE(dataSet.save(dir.file("edited.ifc")));
    const std::string text = ifctest::readFile(dir.file("edited.ifc"));
    EXPECT_FALSE(ifctest::mentionsKey(text, deleted));
    peer = std::make_unique<PeerLoad>(text);
    EXPECT_FALSE(peer->entity(deleted));

    auto renamed = std::dynamic_pointer_cast<IfcObjectDefinition>(peer->entity(object->getKey()));
    ASSERT_TRUE(renamed && renamed->m_Name);
    EXPECT_EQ(renamed->m_Name->m_value, L"Renamed \u00E4");
    auto peerProperty = std::dynamic_pointer_cast<IfcPropertySingleValue>(peer->entity(property->getKey()));
    ASSERT_TRUE(peerProperty && peerProperty->m_Name);
    EXPECT_EQ(peerProperty->m_Name->m_value, L"FireRating");
    auto label = std::dynamic_pointer_cast<IfcLabel>(peerProperty->m_NominalValue);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->m_value, L"REI 90");

    auto peerSet = std::dynamic_pointer_cast<IfcPropertySet>(peer->entity(set->getKey()));
    ASSERT_TRUE(peerSet);
    EXPECT_EQ(peerSet->m_HasProperties, (std::vector<shared_ptr<IfcProperty>>{peerProperty}));

    auto peerRelation = std::dynamic_pointer_cast<IfcRelDefinesByProperties>(peer->entity(relation->getKey()));
    ASSERT_TRUE(peerRelation);
    ASSERT_EQ(peerRelation->m_RelatedObjects.size(), 1u);
    EXPECT_EQ(peerRelation->m_RelatedObjects[0], renamed);
    EXPECT_EQ(std::dynamic_pointer_cast<IfcPropertySet>(peerRelation->m_RelatingPropertyDefinition), peerSet);
}

TEST(IfcppPeer, ReadsTheEditedSmallModel)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    std::unique_ptr<PeerLoad> peer;
    editAndCheckPeer(dataSet, dynamic_cast<ifc2x3::IfcObject*>(dataSet.get(21)), 43, peer);
    ASSERT_TRUE(peer);
    EXPECT_TRUE(peer->errors.empty()) << peer->errors.front();
    EXPECT_EQ(peer->model->getMapIfcEntities().size(), dataSet.instanceCount());
    auto pset = std::dynamic_pointer_cast<IfcPropertySet>(peer->entity(40));
    ASSERT_TRUE(pset);
    EXPECT_EQ(pset->m_HasProperties.size(), 1u) << "#43 left its list";
}

TEST(IfcppPeer, ReadsAnEditedSampleAsWellAsTheOriginal)
{
    MQ_SKIP_WITHOUT_SAMPLE(path, "AC11-Institute-Var-2-IFC.ifc");
    const PeerLoad original(ifctest::readFile(path));
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.open(path));
    const auto walls = dataSet.allOf<ifc2x3::IfcWallStandardCase>();
    ASSERT_GE(walls.size(), 2u);
    std::unique_ptr<PeerLoad> peer;
    editAndCheckPeer(dataSet, walls[0].get(), walls[1]->getKey(), peer);
    ASSERT_TRUE(peer);
    EXPECT_LE(peer->errors.size(), original.errors.size()) << peer->errors.back();
    EXPECT_LE(peer->warnings.size(), original.warnings.size()) << peer->warnings.back();
    EXPECT_EQ(peer->model->getMapIfcEntities().size(), original.model->getMapIfcEntities().size() + 3 - 1);
}

} // namespace
