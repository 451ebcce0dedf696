// Core objects on the default site: items and revisions, relations,
// folders, datasets, typed properties, descriptors, user exits and what the
// SOA layer reads.
#include "ae/dataset.hxx"
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/form.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "gateway/login.hxx"
#include "platform_test_support.hxx"
#include "pom/pom.hxx"
#include "pom/soa_view.hxx"
#include "propdesc/property_descriptor.hxx"
#include "sa/sa.hxx"
#include "tag/tag.hxx"
#include "text/text_server.hxx"
#include "user_exits/user_exits.hxx"

#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace vl::platform;

namespace {

struct PlatformObjects : vl::test::SiteTest {
    static tag_t relType(const char* n) {
        tag_t t = 0;
        GRM_find_relation_type(n, &t);
        return t;
    }
    static std::vector<tag_t> secondaries(tag_t p, const char* rel) {
        int n = 0;
        tag_t* s = nullptr;
        EXPECT_EQ(GRM_list_secondary_objects_only(p, rel ? relType(rel) : 0, &n, &s), 0);
        std::vector<tag_t> v(s, s + n);
        SM_free(s);
        return v;
    }
    static std::string str(tag_t t, const char* prop) {
        char* v = nullptr;
        int rc = AOM_ask_value_string(t, prop, &v);
        if (rc) return vl::test::codeText(rc);
        std::string s = v;
        SM_free(v);
        return s;
    }
    static std::string ui(tag_t t, const char* prop) {
        char* v = nullptr;
        int rc = AOM_UIF_ask_value(t, prop, &v);
        if (rc) return vl::test::codeText(rc);
        std::string s = v;
        SM_free(v);
        return s;
    }
    static tag_t widgetRev() {
        tag_t item = 0, rev = 0;
        ITEM_find_item("000100", &item);
        ITEM_ask_latest_rev(item, &rev);
        return rev;
    }
    static tag_t itemMaster(tag_t owner) {
        std::vector<tag_t> f = secondaries(owner, "OSTRA_master_form");
        return f.empty() ? 0 : f[0];
    }
};

TEST_F(PlatformObjects, ItemCreateMakesTheItemAndItsFirstRevision) {
    long objects = STORE_object_count();
    OstraItem item;
    OstraItemRev rev;
    ASSERT_EQ(OstraItem::create("000500", "Bracket", "Part", "A", 0, 0, item, rev), 0);
    EXPECT_EQ(STORE_object_count(), objects + 2) << "no form is made without being given";
    EXPECT_EQ(str(item.tag(), "item_id"), "000500");
    EXPECT_EQ(str(item.tag(), "object_type"), "Part");
    EXPECT_EQ(str(rev.tag(), "object_type"), "PartRevision");
    EXPECT_EQ(str(rev.tag(), "item_revision_id"), "A");
    EXPECT_EQ(str(rev.tag(), "object_name"), "Bracket");
    tag_t itemOf = 0;
    ITEM_ask_item_of_rev(rev.tag(), &itemOf);
    EXPECT_EQ(itemOf, item.tag());
    EXPECT_EQ(itemMaster(item.tag()), 0u);
    tag_t found = 0;
    ITEM_find_item("000500", &found);
    EXPECT_EQ(found, item.tag());
    ITEM_find_revision(item.tag(), "A", &found);
    EXPECT_EQ(found, rev.tag());
    char* formType = nullptr;
    ASSERT_EQ(ITEM_ask_master_form_type("Document", &formType), 0);
    EXPECT_STREQ(formType, "DocumentMaster");
    SM_free(formType);
    ASSERT_EQ(ITEM_ask_rev_master_form_type("Part", &formType), 0);
    EXPECT_STREQ(formType, "ItemRevisionMaster") << "as Part's itemtype line says";
    SM_free(formType);
    EXPECT_EQ(ITEM_ask_rev_master_form_type("NoSuchType", &formType), ERR_TYPE_NOT_FOUND);
    EXPECT_EQ(formType, nullptr);
}

TEST_F(PlatformObjects, ItemCreateRefusesBadInputAndMakesNothing) {
    struct Case {
        const char *id, *type, *rev;
        int code;
    };
    const Case cases[] = {
        {"000100", "Item", "A", ERR_DUPLICATE},
        {"", "Item", "A", ERR_BAD_ARGUMENT},
        {"000501", "Item", "", ERR_BAD_ARGUMENT},
        {"000502", "Folder", "A", ERR_NOT_AN_ITEM_TYPE},
        {"000503", "NoSuchType", "A", ERR_TYPE_NOT_FOUND},
        {"000504", "Document", "A", ERR_NAMING_RULE},
        {"DOC-12", "Document", "A", ERR_NAMING_RULE},
    };
    long objects = STORE_object_count();
    for (const Case& c : cases) {
        OstraItem item;
        OstraItemRev rev;
        EXPECT_EQ(OstraItem::create(c.id, "n", c.type, c.rev, 0, 0, item, rev), c.code) << c.id << " " << c.type;
        EXPECT_EQ(item.tag(), 0u);
        EXPECT_EQ(STORE_object_count(), objects);
    }
    OstraItem item;
    OstraItemRev rev;
    EXPECT_EQ(OstraItem::create("DOC-1234", "n", "Document", "A", 0, 0, item, rev), 0);
}

TEST_F(PlatformObjects, GivenMasterFormsAreAttachedAndReleased) {
    tag_t f = 0, rf = 0;
    EXPECT_EQ(FORM_create("x", "", "Folder", &f), ERR_NOT_A_FORM_TYPE);
    ASSERT_EQ(FORM_create("000600", "", "ItemMaster", &f), 0);
    ASSERT_EQ(FORM_create("000600A", "", "ItemRevisionMaster", &rf), 0);
    OstraItem item;
    OstraItemRev rev;
    ASSERT_EQ(OstraItem::create("000600", "", "Item", "A", f, rf, item, rev), 0);
    EXPECT_EQ(itemMaster(item.tag()), f);
    EXPECT_EQ(itemMaster(rev.tag()), rf);
    EXPECT_EQ(str(item.tag(), "object_name"), "000600") << "an empty name takes the id";
    std::vector<unsigned int> locks = LOCKS_held();
    EXPECT_EQ(std::count(locks.begin(), locks.end(), f), 0);
    EXPECT_EQ(std::count(locks.begin(), locks.end(), rf), 0);
}

// A copied revision's master form starts with the source form's values and
// then goes its own way: a change to either leaves the other as it was.
TEST_F(PlatformObjects, ACopiedFormsValuesAreItsOwn) {
    auto ints = [](tag_t form) {
        int n = 0;
        int* v = nullptr;
        EXPECT_EQ(AOM_ask_value_ints(form, "check_values", &n, &v), 0);
        std::vector<int> out(v, v + n);
        SM_free(v);
        return out;
    };
    auto set = [](tag_t form, std::vector<int> values, const char* reason) {
        ASSERT_EQ(AOM_set_value_ints(form, "check_values", static_cast<int>(values.size()), values.data()), 0);
        ASSERT_EQ(AOM_set_value_string(form, "change_reason", reason), 0);
        ASSERT_EQ(AOM_save(form), 0);
    };
    const tag_t a = widgetRev(), source = itemMaster(a);
    ASSERT_NE(source, 0u);
    set(source, {1, 2, 3}, "first");
    tag_t b = 0;
    ASSERT_EQ(ITEM_copy_rev(a, "B", &b), 0);
    const tag_t copy = itemMaster(b);
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(ints(copy), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(str(copy, "change_reason"), "first");

    set(copy, {7}, "copied");
    EXPECT_EQ(ints(source), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(str(source, "change_reason"), "first");
    set(source, {4, 5}, "changed");
    EXPECT_EQ(ints(copy), std::vector<int>{7});
    EXPECT_EQ(str(copy, "change_reason"), "copied");
}

TEST_F(PlatformObjects, CopyRevAndDeepCopyFollowTheSiteRules) {
    tag_t a = widgetRev();
    tag_t b = 0;
    EXPECT_EQ(ITEM_copy_rev(a, "A", &b), ERR_DUPLICATE);
    EXPECT_EQ(ITEM_copy_rev(a, "", &b), ERR_BAD_ARGUMENT);
    ASSERT_EQ(ITEM_copy_rev(a, "B", &b), 0);
    EXPECT_EQ(str(b, "item_revision_id"), "B");
    EXPECT_EQ(str(b, "object_name"), "Widget");
    tag_t form = itemMaster(b);
    ASSERT_NE(form, 0u);
    EXPECT_NE(form, itemMaster(a));
    EXPECT_EQ(str(form, "object_name"), "000100B");
    tag_t item = 0, latest = 0;
    ITEM_find_item("000100", &item);
    ITEM_ask_latest_rev(item, &latest);
    EXPECT_EQ(latest, b);
    EXPECT_TRUE(secondaries(b, "Requirement").empty()) << "relations come with the deep copy only";

    int n = 0;
    tag_t* copies = nullptr;
    ASSERT_EQ(ITEM_perform_deepcopy(b, "Revise", a, &n, &copies), 0);
    ASSERT_EQ(n, 1);
    std::vector<tag_t> specs = secondaries(b, "Requirement");
    ASSERT_EQ(specs.size(), 1u);
    EXPECT_EQ(specs[0], copies[0]);
    EXPECT_NE(specs[0], secondaries(a, "Requirement")[0]) << "Requirement is copied";
    EXPECT_EQ(str(specs[0], "object_name"), "Widget datasheet");
    SM_free(copies);
    ASSERT_EQ(ITEM_perform_deepcopy(b, "NoSuchAction", a, &n, &copies), 0);
    EXPECT_EQ(n, 0);
    SM_free(copies);

    char* next = nullptr;
    bool mod = false;
    ASSERT_EQ(USER_new_revision_id(item, 0, &mod, &next), 0);
    EXPECT_STREQ(next, "C");
    SM_free(next);
}

TEST_F(PlatformObjects, RelationsAreFoundListedAndNotDuplicated) {
    tag_t rev = widgetRev();
    tag_t folder = 0;
    ASSERT_EQ(FL_create("target", "", &folder), 0);
    tag_t ref = relType("Reference");
    ASSERT_NE(ref, 0u);
    EXPECT_EQ(relType("contents"), 0u) << "a property name is no relation type";
    tag_t none = 1;
    ASSERT_EQ(GRM_find_relation(rev, folder, ref, &none), 0);
    EXPECT_EQ(none, 0u);
    tag_t r = 0;
    ASSERT_EQ(GRM_create_relation(rev, folder, ref, 0, &r), 0);
    bool modifiable = false;
    POM_modifiable(r, &modifiable);
    EXPECT_TRUE(modifiable);
    ASSERT_EQ(GRM_save_relation(r), 0);
    POM_modifiable(r, &modifiable);
    EXPECT_FALSE(modifiable) << "saving a relation releases it";
    tag_t again = 0;
    EXPECT_EQ(GRM_create_relation(rev, folder, ref, 0, &again), ERR_DUPLICATE);
    EXPECT_EQ(GRM_create_relation(rev, folder, relType("OSTRA_master_form") + 0, uidToTag("junk"), &again),
              ERR_INVALID_TAG);
    tag_t folderType = 0;
    OSTRATYPE_find_type("Folder", "", &folderType);
    EXPECT_EQ(GRM_create_relation(rev, folder, folderType, 0, &again), ERR_NOT_A_RELATION_TYPE);
    ASSERT_EQ(GRM_find_relation(rev, folder, ref, &again), 0);
    EXPECT_EQ(again, r);
    EXPECT_EQ(secondaries(rev, "Reference"), std::vector<tag_t>{folder});
    int n = 0;
    tag_t* p = nullptr;
    ASSERT_EQ(GRM_list_primary_objects_only(folder, 0, &n, &p), 0);
    EXPECT_EQ(std::vector<tag_t>(p, p + n), std::vector<tag_t>{rev});
    SM_free(p);
    EXPECT_EQ(secondaries(rev, nullptr).size(), 3u) << "master form, requirement and reference";
    // A relation type is also a read-only property listing the secondaries.
    EXPECT_EQ(ui(rev, "Reference"), "target");
    EXPECT_EQ(AOM_set_value_tags(rev, "Reference", 0, nullptr), ERR_PROPERTY_READ_ONLY);
    // The opposite direction is another relation, whichever end the search
    // starts from (the folder has fewer referencers than the revision).
    tag_t back = 0;
    ASSERT_EQ(GRM_create_relation(folder, rev, ref, 0, &back), 0);
    ASSERT_EQ(GRM_save_relation(back), 0);
    ASSERT_EQ(GRM_find_relation(folder, rev, ref, &again), 0);
    EXPECT_EQ(again, back);
    ASSERT_EQ(GRM_find_relation(rev, folder, ref, &again), 0);
    EXPECT_EQ(again, r);
    ASSERT_EQ(GRM_delete_relation(back), 0);
    ASSERT_EQ(GRM_delete_relation(r), 0);
    EXPECT_TRUE(secondaries(rev, "Reference").empty());
}

TEST_F(PlatformObjects, FoldersKeepOrderAndRemoveEveryEntry) {
    tag_t f = 0, a = 0, b = 0, c = 0;
    FL_create("f", "", &f);
    FL_create("a", "", &a);
    FL_create("b", "", &b);
    FL_create("c", "", &c);
    ASSERT_EQ(FL_insert(f, a, 999), 0);
    ASSERT_EQ(FL_insert(f, c, -1), 0);
    ASSERT_EQ(FL_insert(f, b, 1), 0);
    ASSERT_EQ(FL_insert(f, a, 0), 0);
    EXPECT_EQ(FL_insert(f, f, 0), ERR_FOLDER_CYCLE);
    ASSERT_EQ(AOM_save(f), 0);
    int n = 0;
    tag_t* t = nullptr;
    FL_ask_references(f, 0, &n, &t);
    EXPECT_EQ(std::vector<tag_t>(t, t + n), (std::vector<tag_t>{a, a, b, c}));
    SM_free(t);
    ASSERT_EQ(FL_remove(f, a), 0);
    FL_ask_size(f, &n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(FL_remove(f, a), ERR_NOT_FOUND);
    EXPECT_EQ(ui(f, "contents"), "b,c");
    // The folder no longer refers to what it lost, and does again once the
    // unsaved removal is discarded.
    auto referencers = [](tag_t object) {
        int count = 0;
        int* levels = nullptr;
        tag_t* who = nullptr;
        char** how = nullptr;
        EXPECT_EQ(WSOM_where_referenced(object, 1, &count, &levels, &who, &how), 0);
        std::vector<tag_t> out(who, who + count);
        SM_free(levels);
        SM_free(who);
        SM_free(how);
        return out;
    };
    EXPECT_TRUE(referencers(a).empty());
    EXPECT_EQ(referencers(b), std::vector<tag_t>{f});
    ASSERT_EQ(AOM_refresh(f, 0), 0);
    EXPECT_EQ(ui(f, "contents"), "a,a,b,c");
    EXPECT_EQ(referencers(a), std::vector<tag_t>{f});
    ASSERT_EQ(FL_remove(f, a), 0);
    ASSERT_EQ(FL_remove(f, b), 0);
    ASSERT_EQ(FL_remove(f, c), 0);
    EXPECT_TRUE(referencers(a).empty() && referencers(b).empty() && referencers(c).empty());
}

TEST_F(PlatformObjects, DatasetsGetTypesToolsAndFormats) {
    tag_t text = 0;
    ASSERT_EQ(AE_find_datasettype("Text", &text), 0);
    ASSERT_NE(text, 0u);
    tag_t none = 1;
    AE_find_datasettype("NoSuchType", &none);
    EXPECT_EQ(none, 0u);
    tag_t ds = 0;
    ASSERT_EQ(AE_create_dataset_with_id(text, "notes", nullptr, nullptr, nullptr, &ds), 0);
    EXPECT_EQ(str(ds, "object_type"), "Text");
    Dataset* loaded = nullptr;
    ASSERT_EQ(Tag(ds).object(Dataset::pomClassName(), &loaded), status_t::OK);
    EXPECT_TRUE(loaded->isModifiable());
    EXPECT_EQ(loaded->toolRef().tag(), 0u);
    EXPECT_EQ(loaded->typeRef().tag(), text);
    DatasetType* type = nullptr;
    ASSERT_EQ(Tag(text).object(DatasetType::pomClassName(), &type), status_t::OK);
    tag_t editor = 0;
    ASSERT_EQ(Tool::find("TextEditor", &editor), status_t::OK);
    EXPECT_EQ(type->defaultToolTag(), editor);
    EXPECT_EQ(type->defaultTool()->symbolName(), "textedit");
    int n = 0;
    tag_t* tools = nullptr;
    ASSERT_EQ(type->listOfTool(&n, &tools), status_t::OK);
    EXPECT_EQ(n, 2);
    SM_free(tools);
    ASSERT_EQ(loaded->toolRef().assign(editor), status_t::OK);
    EXPECT_EQ(loaded->toolRef().tag(), editor);
    char** formats = nullptr;
    ASSERT_EQ(AE_ask_tool_output_formats(editor, &n, &formats), 0);
    ASSERT_EQ(n, 2);
    EXPECT_STREQ(formats[0], "TEXT");
    ASSERT_EQ(AE_set_dataset_format(ds, formats[0]), 0);
    SM_free(formats);
    EXPECT_EQ(str(ds, "format_used"), "TEXT");

    tag_t qm = 0, cad = 0;
    AE_find_datasettype("QMPART", &qm);
    Tag(qm).object(DatasetType::pomClassName(), &type);
    Tool* qmTool = type->defaultTool();
    ASSERT_NE(qmTool, nullptr);
    ASSERT_NE(qmTool->shellTool(), nullptr);
    EXPECT_EQ(qmTool->shellTool()->symbolName(), "qmv10_shell");
    AE_find_datasettype("Scratch", &cad);
    Tag(cad).object(DatasetType::pomClassName(), &type);
    ASSERT_EQ(AE_ask_tool_output_formats(type->defaultToolTag(), &n, &formats), 0);
    EXPECT_EQ(n, 0) << "a tool without output formats";
    SM_free(formats);
    char* k = OSTRA_text("k_qmpart");
    EXPECT_STREQ(k, "QMPART");
    SM_free(k);
    EXPECT_EQ(OSTRA_text("no_such_key"), nullptr);

    char** refs = nullptr;
    char** templates = nullptr;
    ASSERT_EQ(AE_ask_datasettype_refs(qm, &n, &refs), 0);
    EXPECT_EQ(n, 2);
    SM_free(refs);
    tag_t image = 0;
    AE_find_datasettype("Image", &image);
    ASSERT_EQ(AE_ask_datasettype_file_refs(image, "ImageFile", &n, &templates, &formats), 0);
    ASSERT_EQ(n, 2);
    EXPECT_STREQ(templates[1], "*.jpg");
    EXPECT_STREQ(formats[1], "BINARY");
    SM_free(templates);
    SM_free(formats);
}

TEST_F(PlatformObjects, TypedSettersCheckTypeArityLengthAndLists) {
    tag_t item = 0;
    ITEM_find_item("000100", &item);
    tag_t form = itemMaster(item);
    ASSERT_NE(form, 0u);
    EXPECT_EQ(AOM_set_value_double(form, "weight", 2.5), 0);
    EXPECT_EQ(AOM_set_value_int(form, "quantity", 7), 0);
    EXPECT_EQ(AOM_set_value_logical(form, "approved", true), 0);
    EXPECT_EQ(AOM_set_value_char(form, "grade", 'B'), 0);
    EXPECT_EQ(AOM_set_value_char(form, "grade", 'Z'), ERR_NOT_IN_LOV);
    EXPECT_EQ(AOM_set_value_string(form, "quantity", "7"), ERR_BAD_VALUE);
    EXPECT_EQ(AOM_set_value_string(form, "keywords", "x"), ERR_WRONG_ARITY);
    EXPECT_EQ(AOM_set_value_strings(form, "project_code", 0, nullptr), ERR_WRONG_ARITY);
    EXPECT_EQ(AOM_set_value_string(form, "project_code", std::string(33, 'x').c_str()), ERR_STRING_TOO_LONG);
    EXPECT_EQ(AOM_set_value_string(form, "no_such_field", "x"), ERR_NO_SUCH_ATTRIBUTE);
    EXPECT_EQ(AOM_set_value_string(form, "object_type", "Hacked"), ERR_PROPERTY_READ_ONLY);
    date_s d;
    d.year = 2024;
    d.month = 1;
    d.day = 29;
    EXPECT_EQ(AOM_set_value_date(form, "review_date", d), 0);
    EXPECT_EQ(ui(form, "review_date"), "2024-02-29T00:00:00");
    EXPECT_EQ(ui(form, "weight"), "2.5");
    EXPECT_EQ(ui(form, "approved"), "True");

    tag_t revForm = itemMaster(widgetRev());
    const int five[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(AOM_set_value_ints(revForm, "check_values", 4, five), 0);
    EXPECT_EQ(AOM_set_value_ints(revForm, "check_values", 5, five), ERR_ARRAY_TOO_LONG) << "array of at most 4";
    tag_t alice = 0, folder = 0;
    SA_find_user("alice", &alice);
    FL_create("not a user", "", &folder);
    EXPECT_EQ(AOM_set_value_tag(revForm, "reviewer", alice), 0);
    EXPECT_EQ(AOM_set_value_tag(revForm, "reviewer", folder), ERR_WRONG_REFERENCE_CLASS);
    tag_t got = 0;
    ASSERT_EQ(AOM_ask_value_tag(revForm, "reviewer", &got), 0);
    EXPECT_EQ(got, alice);
}

TEST_F(PlatformObjects, DisplayValuesParseStrictly) {
    tag_t item = 0;
    ITEM_find_item("000100", &item);
    tag_t form = itemMaster(item);
    struct Case {
        const char *prop, *text;
        int code;
        const char* shown;
    };
    const Case cases[] = {
        {"quantity", "12", 0, "12"},
        {"quantity", "12abc", ERR_BAD_VALUE, "12"},
        {"quantity", "99999999999", ERR_BAD_VALUE, "12"},
        {"weight", "1e3", 0, "1000"},
        {"weight", "heavy", ERR_BAD_VALUE, "1000"},
        {"approved", "yes", 0, "True"},
        {"approved", "perhaps", ERR_BAD_VALUE, "True"},
        {"review_date", "2023-02-29", ERR_BAD_VALUE, ""},
        {"review_date", "2024-12-31T23:59:59", 0, "2024-12-31T23:59:59"},
        {"review_date", "", 0, ""},
        {"keywords", "a,b,c", 0, "a,b,c"},
        {"grade", "C", 0, "C"},
        {"grade", "D", ERR_NOT_IN_LOV, "C"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AOM_UIF_set_value(form, c.prop, c.text), c.code) << c.prop << "=" << c.text;
        EXPECT_EQ(ui(form, c.prop), c.shown) << c.prop << "=" << c.text;
    }
    // List-of-values display texts map to the stored value and back.
    tag_t guide = 0;
    ITEM_find_item("DOC-0001", &guide);
    EXPECT_EQ(ui(guide, "doc_category"), "Drawing");
    EXPECT_EQ(AOM_UIF_set_value(guide, "doc_category", "Datasheet"), 0);
    EXPECT_EQ(str(guide, "doc_category"), "datasheet");
    EXPECT_EQ(ui(item, "uom_tag"), "each");
    tag_t kg = 0;
    UOM_find_by_name("kg", &kg);
    EXPECT_EQ(AOM_UIF_set_value(item, "uom_tag", tagToUid(kg).c_str()), 0);
    EXPECT_EQ(ui(item, "uom_tag"), "kg");
}

TEST_F(PlatformObjects, DescriptorsDescribeTypeProperties) {
    tag_t rev = widgetRev();
    PropertyDescriptor* d = nullptr;
    ASSERT_EQ(AOM_ask_property_desc(rev, "object_name", &d), 0);
    EXPECT_EQ(d->valueType(), PROP_string);
    EXPECT_EQ(d->arraySize(), 1);
    EXPECT_EQ(d->maxLength(), 128);
    EXPECT_EQ(d->protection(), 0);
    d->setReadOnly();
    EXPECT_EQ(AOM_set_value_string(rev, "object_name", "x"), ERR_PROPERTY_READ_ONLY);
    d->setReadWrite();
    EXPECT_EQ(AOM_set_value_string(rev, "object_name", "x"), 0);
    EXPECT_EQ(AOM_ask_property_desc(rev, "nonsense", &d), ERR_NO_SUCH_ATTRIBUTE);

    tag_t item = 0, folder = 0;
    ITEM_find_item("000100", &item);
    ASSERT_EQ(AOM_ask_property_desc(item, "uom_tag", &d), 0);
    EXPECT_EQ(d->valueType(), PROP_typed_reference);
    EXPECT_EQ(d->displayName(), "Unit of Measure");
    tag_t lov = 0;
    ASSERT_EQ(PROPDESC_ask_lov(d->tag(), &lov), 0);
    int n = 0;
    tag_t* units = nullptr;
    ASSERT_EQ(LOV_ask_values_tag(lov, &n, &units), 0);
    EXPECT_EQ(n, 4);
    SM_free(units);
    FL_create("f", "", &folder);
    ASSERT_EQ(AOM_ask_property_desc(folder, "contents", &d), 0);
    EXPECT_EQ(d->arraySize(), -1);
    EXPECT_TRUE(d->isArray());

    tag_t docType = 0, parent = 0;
    ASSERT_EQ(OSTRATYPE_find_type("Document", "Item", &docType), 0);
    EXPECT_EQ(OSTRATYPE_find_type("Document", "Folder", &parent), ERR_TYPE_NOT_FOUND);
    char name[OSTRATYPE_name_size_c + 1];
    ASSERT_EQ(OSTRATYPE_ask_parent_type(docType, &parent), 0);
    OSTRATYPE_ask_name(parent, name);
    EXPECT_STREQ(name, "Item");
    OSTRATYPE_ask_class_name(docType, name);
    EXPECT_STREQ(name, "Document");
    tag_t t = 0;
    ASSERT_EQ(OSTRATYPE_create("ShortLivedType", "Folder", &t), 0);
    EXPECT_EQ(OSTRATYPE_create("ShortLivedType", "Folder", &t), ERR_DUPLICATE);
    EXPECT_EQ(OSTRATYPE_create("ThisNameIsLongerThanThirtyTwoChars", "Folder", &t), ERR_NAME_TOO_LONG);
    tag_t typeOfType = 0;
    ASSERT_EQ(OSTRATYPE_ask_object_type(docType, &typeOfType), 0);
    OSTRATYPE_ask_name(typeOfType, name);
    EXPECT_STREQ(name, "OstraType");
}

TEST_F(PlatformObjects, OwnershipChangesNeedMembership) {
    tag_t f = 0, alice = 0, bob = 0, eng = 0, manu = 0;
    FL_create("owned", "", &f);
    SA_find_user("alice", &alice);
    SA_find_user("bob", &bob);
    SA_find_group("engineering", &eng);
    SA_find_group("manufacturing", &manu);
    EXPECT_EQ(AOM_set_ownership(f, alice, manu), ERR_NO_OWNER_MEMBERSHIP);
    ASSERT_EQ(AOM_set_ownership(f, alice, eng), 0);
    tag_t owner = 0;
    AOM_ask_owner(f, &owner);
    EXPECT_EQ(owner, alice);
    AOM_refresh(f, 0);
    AOM_ask_owner(f, &owner);
    EXPECT_EQ(owner, alice) << "ownership is committed at once";
    VlLoginServiceManager::doLogin("bob", "bob-pw", "", "");
    EXPECT_EQ(AOM_set_ownership(f, bob, manu), ERR_NO_ACCESS);
}

TEST_F(PlatformObjects, UserExitsGiveFreshIdsAndCanBeReplaced) {
    bool mod = false;
    char* id = nullptr;
    ASSERT_EQ(USER_new_item_id(0, 0, &mod, &id), 0);
    EXPECT_STREQ(id, "000001");
    EXPECT_TRUE(mod);
    SM_free(id);
    ASSERT_EQ(USER_new_revision_id(0, 0, &mod, &id), 0);
    EXPECT_STREQ(id, "A");
    SM_free(id);
    tag_t doc = 0;
    OSTRATYPE_find_type("Document", "Item", &doc);
    ASSERT_EQ(USER_new_item_id(0, doc, &mod, &id), 0);
    EXPECT_STREQ(id, "DOC-0002") << "the naming rule's pattern";
    SM_free(id);

    UserExits mine;
    mine.newItemId = [](tag_t, tag_t, bool* m, std::string* out) {
        *m = false;
        *out = "FIXED";
        return 0;
    };
    USER_set_exits(mine);
    ASSERT_EQ(USER_new_item_id(0, 0, &mod, &id), 0);
    EXPECT_STREQ(id, "FIXED");
    EXPECT_FALSE(mod);
    SM_free(id);
    SITE_reset();
    ASSERT_EQ(USER_new_item_id(0, 0, &mod, &id), 0);
    EXPECT_STREQ(id, "000001") << "reset restores the defaults and the counter";
    SM_free(id);

    char* modItem = nullptr;
    char* modRev = nullptr;
    IDValid_t itemStatus, revStatus;
    ASSERT_EQ(USER_validate_item_rev_id_2("000100", "A", "Item", &modItem, &modRev, &itemStatus, &revStatus), 0);
    EXPECT_EQ(itemStatus, ID_duplicate);
    EXPECT_EQ(revStatus, ID_duplicate);
    ASSERT_EQ(USER_validate_item_rev_id_2(" DOC-7777 ", "A", "Document", &modItem, &modRev, &itemStatus, &revStatus),
              0);
    EXPECT_EQ(itemStatus, ID_modified);
    EXPECT_STREQ(modItem, "DOC-7777");
    MEM_free(modItem);
    ASSERT_EQ(USER_validate_item_rev_id_2("123", "A", "Document", &modItem, &modRev, &itemStatus, &revStatus), 0);
    EXPECT_EQ(itemStatus, ID_invalid);
    EXPECT_EQ(USER_created_items().size(), 0u);
    USER_item_created("X1", "A");
    EXPECT_EQ(USER_created_items().size(), 1u);
}

TEST_F(PlatformObjects, TheSoaViewReadsUidsClassesAndValues) {
    tag_t rev = widgetRev();
    ObjectSummary s;
    ASSERT_TRUE(describeObject(rev, &s));
    EXPECT_EQ(s.className, "ItemRevision");
    EXPECT_EQ(s.typeName, "ItemRevision");
    EXPECT_FALSE(describeObject(uidToTag("nothing"), &s));
    PropertyRead r;
    ASSERT_EQ(readProperty(rev, "object_string", &r), 0);
    EXPECT_EQ(r.uiValue, "000100/A;1-Widget");
    EXPECT_FALSE(r.modifiable);
    ASSERT_EQ(readProperty(rev, "items_tag", &r), 0);
    tag_t item = 0;
    ITEM_find_item("000100", &item);
    EXPECT_EQ(r.values, std::vector<std::string>{tagToUid(item)});
    EXPECT_EQ(r.uiValue, "000100-Widget");
    ASSERT_EQ(readProperty(rev, "object_name", &r), 0);
    EXPECT_TRUE(r.modifiable);
    EXPECT_EQ(readProperty(rev, "nonsense", &r), ERR_NO_SUCH_ATTRIBUTE);
    VlLoginServiceManager::doLogin("bob", "bob-pw", "", "");
    ASSERT_EQ(readProperty(rev, "object_name", &r), 0);
    EXPECT_FALSE(r.modifiable) << "bob does not own alice's revision";
}

// One read of a reader that serves many gives what a read of its own gives,
// and stores one error when it fails.
void expectReadAsSingleRead(PropertyReader& reader, PropertyRead& many, tag_t tag, const char* name) {
    ERROR_store_clear();
    const int rc = reader.read(tag, name, &many);
    int stored = 0;
    ERROR_store_ask(&stored, nullptr, nullptr, nullptr);
    EXPECT_EQ(stored, rc ? 1 : 0);
    PropertyRead one;
    ERROR_store_clear();
    ASSERT_EQ(readProperty(tag, name, &one), rc);
    if (rc) return;
    EXPECT_EQ(many.modifiable, one.modifiable);
    EXPECT_EQ(many.values, one.values);
    EXPECT_EQ(many.uiValue, one.uiValue);
    EXPECT_EQ(many.isNull, one.isNull);
}

// One reader serves a whole reply: types change between reads, names come
// in and out of order, the user may change one object and not the next, and
// one read record takes every read. Each read gives what a read of its own
// gives.
TEST_F(PlatformObjects, OneReaderReadsAsSingleReadsDo) {
    VlLoginServiceManager::doLogin("bob", "bob-pw", "", "");
    tag_t folder = 0, item = 0;
    ASSERT_EQ(FL_create("bob's", "his own", &folder), 0);
    ASSERT_EQ(AOM_save(folder), 0);
    ITEM_find_item("000100", &item);
    const tag_t rev = widgetRev();
    const std::vector<std::pair<tag_t, const char*>> reads = {
        {item, "item_id"},       {folder, "item_id"},     {folder, "object_name"}, {folder, "object_desc"},
        {folder, "owning_user"}, {item, "object_name"},   {item, "item_id"},       {item, "owning_user"},
        {folder, "item_id"},     {folder, "object_name"}, {rev, "items_tag"},      {rev, "object_string"},
        {rev, "object_name"},    {folder, "object_desc"}, {item, "owning_user"},   {item, "object_name"},
        {rev, "nonsense"},       {rev, "items_tag"},
    };
    PropertyReader reader;
    PropertyRead many;
    for (const auto& [tag, name] : reads) {
        SCOPED_TRACE(std::string(name) + " of " + tagToUid(tag));
        expectReadAsSingleRead(reader, many, tag, name);
    }
    ERROR_store_clear();
    // The reads above meet both answers of each kind.
    ASSERT_EQ(reader.read(folder, "object_name", &many), 0);
    EXPECT_TRUE(many.modifiable);
    ASSERT_EQ(reader.read(item, "object_name", &many), 0);
    EXPECT_FALSE(many.modifiable);
    EXPECT_EQ(reader.read(folder, "item_id", &many), ERR_NO_SUCH_ATTRIBUTE);
    ERROR_store_clear();
    ASSERT_EQ(reader.read(item, "owning_user", &many), 0);
    EXPECT_EQ(many.uiValue, ui(item, "owning_user"));
    ASSERT_EQ(reader.read(folder, "owning_user", &many), 0);
    EXPECT_EQ(many.uiValue, ui(folder, "owning_user"));
    EXPECT_NE(many.uiValue, ui(item, "owning_user")) << "two owners, two display strings";
}

// The same against seeded random sequences: reads of one object in a row
// (found once) and of others between, references single, several and none,
// names that do not exist and a tag that names nothing, in a privileged
// session and in one that is not.
TEST_F(PlatformObjects, OneReaderMatchesSingleReadsOverRandomSequences) {
    VlLoginServiceManager::doLogin("bob", "bob-pw", "", "");
    tag_t full = 0, empty = 0, item = 0;
    ASSERT_EQ(FL_create("full", "holds three", &full), 0);
    ASSERT_EQ(FL_create("empty", "", &empty), 0);
    ITEM_find_item("000100", &item);
    const tag_t rev = widgetRev();
    for (tag_t held : {item, rev, empty}) ASSERT_EQ(FL_insert(full, held, 999), 0);
    ASSERT_EQ(AOM_save(full), 0);
    ASSERT_EQ(AOM_save(empty), 0);
    const tag_t tags[] = {full, empty, item, rev, 0x7ffffff0u};
    const char* const names[] = {"contents",     "owning_user", "object_name", "object_desc", "items_tag",
                                 "revision_list", "object_string", "item_id",   "object_type", "nonsense"};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        // Half the runs as a privileged user, who may change what bob may not.
        if (seed % 2)
            VlLoginServiceManager::doLogin("admin", "admin-pw", "dba", "DBA");
        else
            VlLoginServiceManager::doLogin("bob", "bob-pw", "", "");
        PropertyRead probe;
        ASSERT_EQ(readProperty(item, "object_name", &probe), 0);
        ASSERT_EQ(probe.modifiable, seed % 2 == 1) << "only the privileged user may change alice's item";
        PropertyReader reader;
        PropertyRead many;
        tag_t tag = tags[0];
        for (int step = 0; step < 60; ++step) {
            if (rng() % 3 == 0) tag = tags[rng() % std::size(tags)];  // mostly the same object again
            const char* name = names[rng() % std::size(names)];
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step) + ": " + name);
            expectReadAsSingleRead(reader, many, tag, name);
        }
    }
    ERROR_store_clear();
    // The sequences meet references of every count.
    PropertyRead r;
    ASSERT_EQ(readProperty(full, "contents", &r), 0);
    EXPECT_EQ(r.values.size(), 3u);
    EXPECT_NE(r.uiValue.find(','), std::string::npos);
    ASSERT_EQ(readProperty(empty, "contents", &r), 0);
    EXPECT_TRUE(r.values.empty());
    EXPECT_EQ(r.uiValue, "");
}

}  // namespace
