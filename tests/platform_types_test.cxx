// Business types in the stand-in platform: descriptor collections, type
// tests, display names, the classification view, untyped classes and the
// look-up of attached lists of values.
#include "aom/aom.hxx"
#include "aom/ostratype.hxx"
#include "classification/icsico.hxx"
#include "foundation/error_codes.hxx"
#include "platform_test_support.hxx"
#include "propdesc/property_descriptor.hxx"
#include "sm/scoped_smptr.hxx"

#include <memory>

using namespace vl::platform;

namespace {

struct PlatformTypes : vl::test::SiteTest {
    void TearDown() override {
        EXPECT_EQ(SM_outstanding_blocks(), blocksAtStart);
        FAULT_clear();
        vl::test::useDefaultSite();
    }
};

tag_t typeNamed(const char* name) {
    tag_t t = 0;
    OSTRATYPE_ask_type_in_cache(name, &t);
    return t;
}

TEST_F(PlatformTypes, DescribeGivesTheDescriptorsInOrderThroughAnIterator) {
    tag_t drawing = typeNamed("ExternalDrawing");
    int n = 0;
    scoped_smptr<tag_t> tags;
    ASSERT_EQ(OSTRATYPE_list_properties(drawing, &n, &tags), 0);
    ASSERT_GT(n, 0);

    OstraType type(drawing);
    OrderedCollection<PropertyDescriptor>* collection = nullptr;
    ASSERT_EQ(type.describe(&collection), status_t::OK);
    ASSERT_NE(collection, nullptr);
    EXPECT_EQ(collection->count(), n);
    std::unique_ptr<Iterator<PropertyDescriptor>> walk(collection->createIterator());
    for (int i = 0; i < n; ++i) {
        PropertyDescriptor* d = walk->next();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->tag(), tags[i]);
    }
    EXPECT_EQ(walk->next(), nullptr);
    EXPECT_EQ(walk->next(), nullptr) << "stays at the end";

    // An iterator stays usable when a later call replaces the collection.
    std::unique_ptr<Iterator<PropertyDescriptor>> early(collection->createIterator());
    OrderedCollection<PropertyDescriptor>* again = nullptr;
    ASSERT_EQ(type.describe(&again), status_t::OK);
    EXPECT_EQ(again->count(), n);
    int walked = 0;
    while (early->next()) ++walked;
    EXPECT_EQ(walked, n);

    OstraType notAType(typeNamed("Item") + 100000);
    collection = reinterpret_cast<OrderedCollection<PropertyDescriptor>*>(1);
    EXPECT_NE(notAType.describe(&collection), status_t::OK);
    EXPECT_EQ(collection, nullptr);
    ERROR_store_clear();
}

TEST_F(PlatformTypes, TypeTestsNamesAndTheTypeOfTypes) {
    bool is = true;
    EXPECT_EQ(OstraTypeP::isTypeOf(typeNamed("ExternalDrawing"), "ExternalObject", is), status_t::OK);
    EXPECT_TRUE(is);
    EXPECT_EQ(OstraTypeP::isTypeOf(typeNamed("ExternalObject"), "ExternalObject", is), status_t::OK);
    EXPECT_TRUE(is);
    EXPECT_EQ(OstraTypeP::isTypeOf(typeNamed("Item"), "NoSuchType", is), status_t::OK);
    EXPECT_FALSE(is) << "a name that is no type";

    struct Case {
        const char* type;
        const char* display;
    } cases[] = {{"ExternalDrawing", "External drawing"}, {"PartRevision", "Part Revision"}, {"Item", "Item"}};
    for (const auto& c : cases) {
        scoped_smptr<char> text;
        ASSERT_EQ(AOM_UIF_ask_value(typeNamed(c.type), "type_name", &text), 0) << c.type;
        EXPECT_STREQ(text.get(), c.display);
    }

    // Types made before the type of types are of that type as well.
    for (const char* name : {"POMObject", "Item", "OstraType", "Gauge"}) {
        tag_t type = 0;
        ASSERT_EQ(OSTRATYPE_ask_object_type(typeNamed(name), &type), 0);
        EXPECT_EQ(type, typeNamed("OstraType")) << name;
    }
}

// Seven blocks, and one more per name and display name.
TEST_F(PlatformTypes, TheClassificationViewDescribesAttributesInBlocks) {
    int count = 0;
    char **names = nullptr, **displays = nullptr;
    int *valueTypes = nullptr, *modifiable = nullptr, *isArray = nullptr, *maxLengths = nullptr;
    tag_t* lovs = nullptr;
    ICSICO gauge(typeNamed("Gauge"));
    ASSERT_EQ(gauge.getAllPropertyDescriptions(&count, &names, &displays, &valueTypes, &lovs, &modifiable, &isArray,
                                               &maxLengths),
              0);
    EXPECT_EQ(SM_outstanding_blocks() - blocksAtStart, 7 + 2 * count);
    ASSERT_EQ(count, 11);
    EXPECT_STREQ(names[8], "gauge_size");
    EXPECT_STREQ(names[9], "gauge_grade");
    EXPECT_STREQ(displays[9], "Grade");
    EXPECT_EQ(valueTypes[9], PROP_char);
    tag_t grades = 0;
    LOV_find("Grades", &grades);
    EXPECT_EQ(lovs[9], grades);
    EXPECT_EQ(lovs[8], 0u);
    EXPECT_EQ(maxLengths[8], 16);
    EXPECT_EQ(isArray[10], 1);
    EXPECT_EQ(modifiable[10], 0);
    EXPECT_EQ(modifiable[8], 1);
    for (int i = 0; i < count; ++i) {
        SM_free(names[i]);
        SM_free(displays[i]);
    }
    for (void* block : {static_cast<void*>(names), static_cast<void*>(displays), static_cast<void*>(valueTypes),
                        static_cast<void*>(lovs), static_cast<void*>(modifiable), static_cast<void*>(isArray),
                        static_cast<void*>(maxLengths)})
        SM_free(block);

    ICSICO item(typeNamed("Item"));
    names = reinterpret_cast<char**>(1);
    EXPECT_EQ(item.getAllPropertyDescriptions(&count, &names, &displays, &valueTypes, &lovs, &modifiable, &isArray,
                                              &maxLengths),
              ERR_WRONG_CLASS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(names, nullptr);
    ERROR_store_clear();
}

TEST_F(PlatformTypes, AnUntypedClassHasNoTypeUntilOneIsMade) {
    std::string error;
    ASSERT_EQ(SITE_load_text(vl::test::defaultSiteText() + R"(
class Untyped WorkspaceObject untyped
class UnderUntyped Untyped
type OfUntyped WorkspaceObject class=Untyped
)",
                             "untyped.site", &error),
              0)
        << error;
    EXPECT_EQ(typeNamed("Untyped"), 0u);
    tag_t parent = 0;
    ASSERT_EQ(OSTRATYPE_ask_parent_type(typeNamed("UnderUntyped"), &parent), 0);
    EXPECT_EQ(parent, typeNamed("WorkspaceObject")) << "under the nearest class that has a type";
    char className[OSTRATYPE_name_size_c + 1];
    ASSERT_EQ(OSTRATYPE_ask_class_name(typeNamed("OfUntyped"), className), 0);
    EXPECT_STREQ(className, "Untyped");

    tag_t made = 0;
    ASSERT_EQ(OSTRATYPE_create("Untyped", "Untyped", &made), 0);
    EXPECT_EQ(typeNamed("Untyped"), made);
    ASSERT_EQ(OSTRATYPE_ask_parent_type(made, &parent), 0);
    EXPECT_EQ(parent, typeNamed("WorkspaceObject"));

    EXPECT_NE(SITE_load_text(vl::test::defaultSiteText() + "\nclass Bad WorkspaceObject untyped display=X\n",
                             "bad.site", &error),
              0);
}

// The look-up of an attached list: by the type's own rule or an ancestor's;
// the out tag is written on every call.
TEST_F(PlatformTypes, AttachedListsByOwnOrInheritedRule) {
    tag_t units = 0, categories = 0;
    LOV_find("Units", &units);
    LOV_find("Categories", &categories);
    struct Case {
        const char* type;
        const char* property;
        int rc;
        tag_t lov;
    } cases[] = {
        {"Item", "uom_tag", 0, units},
        {"Document", "uom_tag", 0, units},
        {"Document", "doc_category", 0, categories},
        {"Document", "object_name", 0, 0},
        {"NoSuchType", "uom_tag", ERR_TYPE_NOT_FOUND, 0},
        {"Document", "no_such_property", ERR_NO_SUCH_ATTRIBUTE, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + "." + c.property);
        tag_t lov = 12345;
        EXPECT_EQ(LOV_find_attached_prop(c.type, c.property, &lov), c.rc);
        EXPECT_EQ(lov, c.lov);
    }
    FAULT_inject("LOV_find_attached_prop", ERR_INJECTED);
    tag_t lov = 12345;
    EXPECT_EQ(LOV_find_attached_prop("Item", "uom_tag", &lov), ERR_INJECTED);
    EXPECT_EQ(lov, 0u);
    ERROR_store_clear();
}

TEST_F(PlatformTypes, APropertyWithoutAListIsNoFailure) {
    tag_t descriptor = 0;
    ASSERT_EQ(OSTRATYPE_ask_property_by_name(typeNamed("Item"), "object_name", &descriptor), 0);
    PropertyDescriptor* d = nullptr;
    ASSERT_EQ(PropertyDescriptor::askPropertyDescriptor(descriptor, &d), 0);
    ListOfValues* list = reinterpret_cast<ListOfValues*>(1);
    EXPECT_EQ(d->askListOfValues(&list), 0);
    EXPECT_EQ(list, nullptr);
    EXPECT_TRUE(vl::test::storedCodes().empty());
}

}  // namespace
