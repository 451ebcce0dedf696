// The type service: its frame (table, spans, root), the two ways of
// describing a property (descriptors, classification), the class chain,
// what is silently left out, and failures inside one type.
#include "types0603_support.hxx"

#include "platform_test_support.hxx"

#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/pom.hxx"
#include "propdesc/property_descriptor.hxx"
#include "soa_common/monitor.hxx"
#include "soa_server/iiop_skeleton.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

using namespace types0603;

class Types0603 : public TypesTest {};

const Velmora::Soa::Internal::Server::IiopSkeleton& skeleton() {
    auto* s = dynamic_cast<Velmora::Soa::Internal::Server::IiopSkeleton*>(VlServiceManager::instance().find(kService));
    if (!s) throw std::runtime_error("the type service is not registered");
    return *s;
}

tag_t lovNamed(const char* name) {
    tag_t t = 0;
    LOV_find(name, &t);
    return t;
}

tag_t objectType(tag_t object) {
    tag_t t = 0;
    OSTRATYPE_ask_object_type(object, &t);
    return t;
}

tag_t classId(const char* name) {
    tag_t id = 0;
    POM_class_id_of_class(name, &id);
    return id;
}

bool called(const std::string& function) {
    auto log = vl::platform::CALLS_log();
    return std::find(log.begin(), log.end(), function) != log.end();
}

TEST_F(Types0603, TableSpansAndRoot) {
    std::vector<std::string> names;
    for (const auto& [name, op] : skeleton().operations()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"initTypeByNames", "initTypeByUids"}));
    EXPECT_EQ(skeleton().serviceName(), "Types");

    for (const char* op : {"initTypeByNames", "initTypeByUids"}) {
        SCOPED_TRACE(op);
        vl::platform::MONITOR_clear();
        std::string xml = std::string(op) == "initTypeByNames" ? namesXml({}) : uidsXml({});
        std::string reply = invoke(kService, op, xml);
        EXPECT_EQ(reply, "<ModelSchema/>") << "no types, no classes, no errors";
        std::string a = std::string("Velmora::Soa::Internal::Core::_2006_03::TypesIiopSkeleton::") + op;
        std::string impl = std::string("Velmora::Soa::Internal::Core::_2006_03::TypesImpl::") + op;
        EXPECT_EQ(vl::test::spanLog(), vl::test::fourSpans(a, impl));
    }
}

TEST_F(Types0603, AnUnreadableRequestIsNotAnsweredByTheOperation) {
    std::string reply = invoke(kService, "initTypeByNames", "<InitTypeByNamesInput><uid value=\"x\"/></InitTypeByNamesInput>");
    EXPECT_NE(reply.find("<ServiceException"), std::string::npos) << reply;
    EXPECT_NE(reply.find("code=\"990050\""), std::string::npos) << reply;
}

TEST_F(Types0603, TheTypeEntry) {
    Base::ModelSchema schema = byNames({"ExternalDrawing", "Item", "ExternalObject"});
    Base::ModelType drawing = typeEntry(schema, "ExternalDrawing");
    tag_t t = typeTag("ExternalDrawing");
    EXPECT_EQ(drawing.getUid(), uidOf(t));
    EXPECT_EQ(drawing.getUifName(), "External drawing") << "the display name";
    EXPECT_EQ(drawing.getClassName(), "ExternalObject");
    EXPECT_EQ(drawing.getParentTypeName(), "ExternalObject");
    EXPECT_EQ(drawing.getTypeUid(), uidOf(typeTag("OstraType")));
    EXPECT_TRUE(drawing.getExternalObject()) << "a subtype of ExternalObject";
    EXPECT_TRUE(typeEntry(schema, "ExternalObject").getExternalObject());
    EXPECT_FALSE(typeEntry(schema, "Item").getExternalObject());
    EXPECT_EQ(typeNames(schema)[0], "ExternalDrawing") << "requested types first, in request order";
    EXPECT_EQ(typeNames(schema)[1], "Item");
    EXPECT_TRUE(vl::test::storedCodes().empty());
}

// The descriptor path reads each descriptor; "object_type" is never
// modifiable there; a list shared by two properties makes each depend on
// the other; a property without a list carries the null tag's uid ("").
TEST_F(Types0603, TheDescriptorPath) {
    Base::ModelType drawing = typeEntry(byNames({"ExternalDrawing"}), "ExternalDrawing");
    tag_t systems = lovNamed("Systems");
    Base::PropDescriptor source = descriptorOf(drawing, "source_system");
    EXPECT_EQ(source.getLovUid(), uidOf(systems));
    EXPECT_EQ(source.getLovTypeUid(), uidOf(objectType(systems)));
    EXPECT_EQ(source.getAttachedSpecifier(), 2) << "a suggestive list";
    EXPECT_EQ(source.getUiname(), "Source system");
    EXPECT_EQ(source.getMaxLength(), 32);
    EXPECT_EQ(source.getType(), PROP_string);
    EXPECT_EQ(source.getPtype(), PROP_attribute);
    EXPECT_EQ(source.getTypeUid(), drawing.getUid());
    EXPECT_EQ(dependantsOf(source), (std::vector<std::string>{"mirror_system"}));
    EXPECT_EQ(dependantsOf(descriptorOf(drawing, "mirror_system")), (std::vector<std::string>{"source_system"}));

    Base::PropDescriptor name = descriptorOf(drawing, "object_name");
    EXPECT_EQ(name.getLovUid(), "");
    EXPECT_EQ(name.getLovTypeUid(), "");
    EXPECT_TRUE(name.getModifiable());
    EXPECT_FALSE(name.getAnArray());
    EXPECT_TRUE(dependantsOf(name).empty());
    EXPECT_EQ(descriptorOf(drawing, "object_string").getPtype(), PROP_runtime);
    Base::PropDescriptor relation = descriptorOf(drawing, "Reference");
    EXPECT_EQ(relation.getPtype(), PROP_relation);
    EXPECT_TRUE(relation.getAnArray());
    EXPECT_FALSE(descriptorOf(drawing, "object_type").getModifiable());
}

// A type of class "icm0" is described from its classification arrays: fixed
// settings, the array and modifiable flags and lists from the arrays, only
// attribute properties.
TEST_F(Types0603, TheClassificationPath) {
    Base::ModelType gauge = typeEntry(byNames({"Gauge"}), "Gauge");
    EXPECT_EQ(gauge.getClassName(), "icm0");
    std::vector<std::string> names;
    for (const auto& d : gauge.getPropDescriptorArray()) {
        SCOPED_TRACE(d.getName());
        names.push_back(d.getName());
        EXPECT_EQ(d.getPtype(), 1);
        EXPECT_TRUE(d.getDisplayable());
        EXPECT_FALSE(d.getRequired());
        EXPECT_TRUE(d.getEnabled());
        EXPECT_EQ(d.getAttachedSpecifier(), 0);
        EXPECT_TRUE(dependantsOf(d).empty());
    }
    EXPECT_EQ(countOf(names, "object_string"), 0) << "attributes only";
    EXPECT_EQ(countOf(names, "Reference"), 0) << "attributes only";
    Base::PropDescriptor readings = descriptorOf(gauge, "gauge_readings");
    EXPECT_TRUE(readings.getAnArray());
    EXPECT_FALSE(readings.getModifiable()) << "the fixture's rule";
    EXPECT_EQ(readings.getType(), PROP_double);
    Base::PropDescriptor grade = descriptorOf(gauge, "gauge_grade");
    tag_t grades = lovNamed("Grades");
    EXPECT_EQ(grade.getLovUid(), uidOf(grades));
    EXPECT_EQ(grade.getLovTypeUid(), uidOf(objectType(grades)));
    EXPECT_EQ(grade.getUiname(), "Grade");
    EXPECT_TRUE(grade.getModifiable());
    EXPECT_FALSE(grade.getAnArray());
    Base::PropDescriptor size = descriptorOf(gauge, "gauge_size");
    EXPECT_EQ(size.getLovUid(), "");
    EXPECT_EQ(size.getMaxLength(), 16);
}

TEST_F(Types0603, TheClassChainOfEachTypeUpToTheRoot) {
    Base::ModelSchema schema = byNames({"Document", "Document"});
    std::vector<std::string> chain = classChain(schema);
    const std::vector<std::string> document = {"Document<Item", "Item<WorkspaceObject",
                                               "WorkspaceObject<POM_application_object",
                                               "POM_application_object<POMObject", "POMObject<"};
    ASSERT_GE(chain.size(), 2 * document.size());
    EXPECT_EQ(std::vector<std::string>(chain.begin(), chain.begin() + 5), document);
    EXPECT_EQ(std::vector<std::string>(chain.begin() + 5, chain.begin() + 10), document) << "again for the second";
    EXPECT_EQ(countOf(typeNames(schema), "Document"), 2) << "a type requested twice is described twice";
}

// A class without a type gets one made; asked for again, it is found.
TEST_F(Types0603, AClassWithoutATypeGetsOne) {
    ASSERT_EQ(typeTag("icm0"), 0u);
    vl::platform::CALLS_clear();
    Base::ModelSchema schema = byNames({"icm0"});
    EXPECT_TRUE(called("OSTRATYPE_create"));
    tag_t made = typeTag("icm0");
    ASSERT_NE(made, 0u);
    Base::ModelType entry = typeEntry(schema, "icm0");
    EXPECT_EQ(entry.getUid(), uidOf(made));
    EXPECT_EQ(entry.getClassName(), "icm0");
    EXPECT_EQ(entry.getParentTypeName(), "WorkspaceObject");
    EXPECT_FALSE(entry.getPropDescriptorArray().empty()) << "described by classification";

    vl::platform::CALLS_clear();
    EXPECT_EQ(typeEntry(byNames({"icm0"}), "icm0").getUid(), uidOf(made));
    EXPECT_FALSE(called("OSTRATYPE_create"));
}

TEST_F(Types0603, WhatNamesNoTypeIsSilentlyAbsent) {
    tag_t widget = 0;
    ITEM_find_item("000100", &widget);
    ASSERT_NE(widget, 0u);
    struct Case {
        const char* what;
        Base::ModelSchema schema;
    } cases[] = {
        {"names", byNames({"", "NoSuchTypeOrClass", "Item", "item"})},
        {"uids", byUids({"", "zzzzzzzzzzzzzz", uidOf(widget), uidOf(typeTag("Item"))})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> names = typeNames(c.schema);
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names[0], "Item");
        EXPECT_EQ(countOf(names, "Item"), 1);
        for (const auto& n : names) EXPECT_NE(n, "item");
    }
    EXPECT_TRUE(vl::test::storedCodes().empty()) << "nothing is reported";
}

// A failure inside one type leaves the rest of that type out, keeps what was
// added for it, frees what it held, and the next type is complete.
TEST_F(Types0603, AFailureMidTypeLeavesTheRestOfItOut) {
    tag_t drawing = typeTag("ExternalDrawing");
    struct Case {
        const char* function;
        tag_t tag;
        bool entry, descriptors;
    } cases[] = {
        {"AOM_UIF_ask_value", drawing, false, false},
        {"OstraType::describe", drawing, true, false},
        {"ListOfValues::askInterdependents", lovNamed("Systems"), true, false},
        {"POM_superclasses_of_class", classId("ExternalObject"), true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        vl::platform::FAULT_inject(c.function, vl::platform::ERR_INJECTED, c.tag);
        Base::ModelSchema schema = byNames({"ExternalDrawing", "Gauge"});
        std::vector<std::string> names = typeNames(schema);
        EXPECT_EQ(countOf(names, "ExternalDrawing"), c.entry ? 1 : 0);
        if (c.entry) {
            // Descriptors before the failing one stay.
            auto descriptors = typeEntry(schema, "ExternalDrawing").getPropDescriptorArray();
            EXPECT_EQ(descriptors.size() > 8, c.descriptors) << descriptors.size();
        }
        std::vector<std::string> chain = classChain(schema);
        ASSERT_FALSE(chain.empty());
        EXPECT_EQ(chain[0], "icm0<WorkspaceObject") << "no class chain for the failed type";
        Base::ModelType gauge = typeEntry(schema, "Gauge");
        EXPECT_EQ(gauge.getPropDescriptorArray().size(), 11u);
        EXPECT_TRUE(vl::test::storedCodes().empty());
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
    }
}

TEST_F(Types0603, AFailureOnTheClassificationPathFreesItsArrays) {
    tag_t gauge = typeTag("Gauge");
    for (auto [function, tag] : {std::pair<const char*, tag_t>{"ICSICO::getAllPropertyDescriptions", gauge},
                                 {"OSTRATYPE_ask_object_type", lovNamed("Grades")}}) {
        SCOPED_TRACE(function);
        vl::platform::FAULT_inject(function, vl::platform::ERR_INJECTED, tag);
        Base::ModelSchema schema = byNames({"Gauge", "Item"});
        ASSERT_EQ(typeNames(schema)[0], "Gauge");
        EXPECT_LT(typeEntry(schema, "Gauge").getPropDescriptorArray().size(), 11u);
        EXPECT_EQ(classChain(schema)[0], "Item<WorkspaceObject");
    }
}

}  // namespace
