#pragma once
// Shared helpers of the "Internal-Core-2006-03-Types" tests: requests as
// text, replies read back as the wire schema.
#include "support/service_test.hxx"

#include "aom/ostratype.hxx"
#include "soa_framework/wire/base_types.hxx"

#include <string>
#include <vector>

namespace types0603 {

namespace Base = Velmora::Schemas::Soa::_2006_03::Base;
using ::vl::test::esc;
using ::vl::test::uidOf;

inline const char* const kService = "Internal-Core-2006-03-Types";

inline std::string namesXml(const std::vector<std::string>& names) {
    std::string xml = "<InitTypeByNamesInput>";
    for (const auto& n : names) xml += "<typeName value=\"" + esc(n) + "\"/>";
    return xml + "</InitTypeByNamesInput>";
}

inline std::string uidsXml(const std::vector<std::string>& uids) {
    std::string xml = "<InitTypeByUidsInput>";
    for (const auto& u : uids) xml += "<uid value=\"" + esc(u) + "\"/>";
    return xml + "</InitTypeByUidsInput>";
}

// A reply read back; a reply that is not a model schema fails the test.
inline Base::ModelSchema schemaOf(const std::string& reply) {
    vl::test::Reply r(reply);
    Base::ModelSchema schema;
    EXPECT_EQ(r.root->name(), "ModelSchema") << reply;
    if (r.root->name() == "ModelSchema") schema.parse(*r.root);
    return schema;
}

inline tag_t typeTag(const std::string& name) {
    tag_t t = 0;
    OSTRATYPE_ask_type_in_cache(name.c_str(), &t);
    return t;
}

inline std::vector<std::string> typeNames(const Base::ModelSchema& schema) {
    std::vector<std::string> names;
    for (const auto& t : schema.getTypeArray()) names.push_back(t.getName());
    return names;
}

inline int countOf(const std::vector<std::string>& names, const std::string& name) {
    int n = 0;
    for (const auto& x : names) n += x == name;
    return n;
}

// The first entry of that name (a default entry when there is none).
inline Base::ModelType typeEntry(const Base::ModelSchema& schema, const std::string& name) {
    for (const auto& t : schema.getTypeArray())
        if (t.getName() == name) return t;
    ADD_FAILURE() << "no type entry " << name;
    return {};
}

inline Base::PropDescriptor descriptorOf(const Base::ModelType& type, const std::string& name) {
    for (const auto& d : type.getPropDescriptorArray())
        if (d.getName() == name) return d;
    ADD_FAILURE() << "no descriptor " << name << " in " << type.getName();
    return {};
}

inline std::vector<std::string> dependantsOf(const Base::PropDescriptor& d) {
    std::vector<std::string> names;
    for (const auto& p : d.getPropDependantArray()) names.push_back(p.getName());
    return names;
}

// The class entries as "class<parent".
inline std::vector<std::string> classChain(const Base::ModelSchema& schema) {
    std::vector<std::string> chain;
    for (const auto& c : schema.getClasseArray()) chain.push_back(c.getName() + "<" + c.getParentClassName());
    return chain;
}

class TypesTest : public ::vl::test::ServiceTest {
protected:
    static Base::ModelSchema byNames(const std::vector<std::string>& names) {
        return schemaOf(invoke(kService, "initTypeByNames", namesXml(names)));
    }
    static Base::ModelSchema byUids(const std::vector<std::string>& uids) {
        return schemaOf(invoke(kService, "initTypeByUids", uidsXml(uids)));
    }
};

}  // namespace types0603
