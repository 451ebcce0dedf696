// Reading, formatting, parsing and checked writing of property values.
#include "foundation/error_codes.hxx"
#include "foundation/number_text.hxx"
#include "propdesc/business_types.hxx"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace vl::platform {
unsigned int uidToTag(const std::string& uid);
std::string tagToUid(unsigned int tag);
bool NAMING_check(const std::string& typeName, const std::string& propertyName, const std::string& value);
}  // namespace vl::platform

namespace vl::platform::store {

std::vector<tag_t> relationsOf(tag_t object, bool asPrimary, tag_t relationType) {
    std::vector<tag_t> out;
    const char* end = asPrimary ? "primary_object" : "secondary_object";
    for (tag_t r : referencersOf(object)) {
        const Object* rel = find(r);
        if (!rel || !rel->cls->isA("Relation")) continue;
        if (getTag(*rel, end) != object) continue;
        if (relationType && rel->type != relationType) continue;
        out.push_back(r);
    }
    return out;
}

std::vector<tag_t> relatedSecondaries(tag_t primary, tag_t relationType) {
    std::vector<tag_t> out;
    for (tag_t r : relationsOf(primary, true, relationType)) out.push_back(getTag(*find(r), "secondary_object"));
    return out;
}

std::vector<tag_t> relatedPrimaries(tag_t secondary, tag_t relationType) {
    std::vector<tag_t> out;
    for (tag_t r : relationsOf(secondary, false, relationType)) out.push_back(getTag(*find(r), "primary_object"));
    return out;
}

Value propertyValue(const Object& o, const PropertyDescriptor& d) {
    switch (d.m_propertyType) {
    case PROP_attribute:
        if (d.m_attr >= 0 && d.m_attr < static_cast<int>(o.values.size())) return o.values[d.m_attr].value();
        return emptyValue(d.m_valueType);
    case PROP_relation:
        return relatedSecondaries(o.tag, d.m_relationType);
    case PROP_runtime:
        if (d.m_name == "object_string") return std::vector<std::string>{displayString(o.tag)};
        return emptyValue(d.m_valueType);
    default:
        return emptyValue(d.m_valueType);
    }
}

namespace {

std::string realText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

}  // namespace

std::vector<std::string> valueTexts(const Value& v, PROP_value_type_e type) {
    std::vector<std::string> out;
    std::visit(
        [&](const auto& vec) {
            using V = std::decay_t<decltype(vec)>;
            if constexpr (std::is_same_v<V, std::monostate>) {
            } else {
                for (const auto& e : vec) {
                    using E = std::decay_t<decltype(e)>;
                    if constexpr (std::is_same_v<E, char>) {
                        if (type == PROP_logical)
                            out.push_back(e ? "1" : "0");
                        else
                            out.push_back(std::string(e ? 1 : 0, e));
                    } else if constexpr (std::is_same_v<E, int>) {
                        out.push_back(std::to_string(e));
                    } else if constexpr (std::is_same_v<E, double>) {
                        out.push_back(realText(e));
                    } else if constexpr (std::is_same_v<E, std::string>) {
                        out.push_back(e);
                    } else if constexpr (std::is_same_v<E, date_s>) {
                        out.push_back(formatDate(e));
                    } else if constexpr (std::is_same_v<E, tag_t>) {
                        out.push_back(vl::platform::tagToUid(e));
                    }
                }
            }
        },
        v);
    return out;
}

std::string displayText(const Value& v, PROP_value_type_e type) {
    std::vector<std::string> parts;
    if (const auto* tags = std::get_if<std::vector<tag_t>>(&v)) {
        for (tag_t t : *tags) parts.push_back(displayString(t));
    } else if (const auto* chars = std::get_if<std::vector<char>>(&v); chars && type == PROP_logical) {
        for (char c : *chars) parts.push_back(c ? "True" : "False");
    } else {
        parts = valueTexts(v, type);
    }
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += ",";
        out += parts[i];
    }
    return out;
}

namespace {

bool parseLogical(const std::string& t, char* out) {
    if (t == "1" || t == "true" || t == "True" || t == "TRUE" || t == "yes" || t == "Yes") {
        *out = 1;
        return true;
    }
    if (t == "0" || t == "false" || t == "False" || t == "FALSE" || t == "no" || t == "No") {
        *out = 0;
        return true;
    }
    return false;
}

}  // namespace

int parseTexts(const PropertyDescriptor& d, const std::vector<std::string>& texts, Value* out) {
    auto bad = [&](const std::string& t) { return fail(ERR_BAD_VALUE, d.m_name + ": \"" + t + "\""); };
    switch (d.m_valueType) {
    case PROP_char: {
        std::vector<char> v;
        for (const auto& t : texts) {
            if (t.size() > 1) return bad(t);
            v.push_back(t.empty() ? '\0' : t[0]);
        }
        *out = v;
        return 0;
    }
    case PROP_logical: {
        std::vector<char> v;
        for (const auto& t : texts) {
            char c = 0;
            if (!parseLogical(t, &c)) return bad(t);
            v.push_back(c);
        }
        *out = v;
        return 0;
    }
    case PROP_int:
    case PROP_short: {
        std::vector<int> v;
        for (const auto& t : texts) {
            int i = 0;
            if (!parseWholeNumber(t, &i)) return bad(t);
            if (d.m_valueType == PROP_short && (i < -32768 || i > 32767)) return bad(t);
            v.push_back(i);
        }
        *out = v;
        return 0;
    }
    case PROP_double:
    case PROP_float: {
        std::vector<double> v;
        for (const auto& t : texts) {
            double x = 0;
            if (!parseFiniteDecimal(t, &x)) return bad(t);
            v.push_back(x);
        }
        *out = v;
        return 0;
    }
    case PROP_string:
    case PROP_note:
        *out = texts;
        return 0;
    case PROP_date: {
        std::vector<date_s> v;
        for (const auto& t : texts) {
            date_s x;
            if (t.empty()) continue;  // the empty text is the null date
            if (!parseDate(t, &x)) return bad(t);
            v.push_back(x);
        }
        *out = v;
        return 0;
    }
    default:
        if (isReference(d.m_valueType)) {
            std::vector<tag_t> v;
            for (const auto& t : texts) {
                if (t.empty()) {
                    v.push_back(0);
                    continue;
                }
                tag_t x = vl::platform::uidToTag(t);
                if (!find(x)) return fail(ERR_INVALID_TAG, d.m_name + ": no object " + t);
                v.push_back(x);
            }
            *out = v;
            return 0;
        }
        return fail(ERR_BAD_VALUE, d.m_name + ": unsupported value type");
    }
}

namespace {

struct RegisteredCheck {
    const char* className;
    const char* attrName;
    ReferenceCheck check;
};

std::vector<RegisteredCheck>& referenceChecks() {
    static std::vector<RegisteredCheck> checks;
    return checks;
}

// The checks registered for the attribute, run over what the write adds.
int checkAdded(const Object& o, const PropertyDescriptor& d, std::span<const tag_t> added) {
    if (added.empty()) return 0;
    for (const RegisteredCheck& r : referenceChecks()) {
        if (o.cls->attrs[d.m_attr].name != r.attrName || !o.cls->isA(r.className)) continue;
        if (int rc = r.check(o, added)) return rc;
    }
    return 0;
}

}  // namespace

bool registerReferenceCheck(const char* className, const char* attrName, ReferenceCheck check) {
    referenceChecks().push_back({className, attrName, check});
    return true;
}

int writeProperty(Object& o, const PropertyDescriptor& d, Value v, bool single) {
    return writeProperty(o, d, Slot(std::move(v)), single);
}

namespace {

// What a write of n values of one kind meets before its values are read.
int checkWritable(const Object& o, const PropertyDescriptor& d, bool single, std::size_t kind, std::size_t n) {
    if (o.readOnly) return fail(ERR_READ_ONLY_OBJECT, o.uid);
    if (!canWrite(o)) return fail(ERR_NO_ACCESS, o.uid);
    if (d.m_propertyType != PROP_attribute || d.m_attr < 0) return fail(ERR_PROPERTY_READ_ONLY, d.m_name);
    if (d.protection() == 1 || !d.m_modifiable) return fail(ERR_PROPERTY_READ_ONLY, d.m_name);
    if (single != (d.m_arraySize == 1)) return fail(ERR_WRONG_ARITY, d.m_name);
    if (kind != valueIndexOf(d.m_valueType)) return fail(ERR_BAD_VALUE, d.m_name + ": wrong value type");
    if (d.m_arraySize > 1 && n > static_cast<std::size_t>(d.m_arraySize)) return fail(ERR_ARRAY_TOO_LONG, d.m_name);
    return 0;
}

// The entries looked at name live objects of the class asked, and what the
// write adds passes the domain's rule.
int checkTags(const Object& o, const PropertyDescriptor& d, std::span<const tag_t> looked,
              std::span<const tag_t> added) {
    for (const tag_t e : looked) {
        if (!e) continue;
        const Object* target = find(e);
        if (!target) return fail(ERR_INVALID_TAG, d.m_name);
        if (d.m_valueType == PROP_typed_reference && !d.m_refClass.empty() && !target->cls->isA(d.m_refClass))
            return fail(ERR_WRONG_REFERENCE_CLASS, d.m_name);
    }
    return checkAdded(o, d, added);
}

bool classChecked(const PropertyDescriptor& d) {
    return d.m_valueType == PROP_typed_reference && !d.m_refClass.empty();
}

}  // namespace

int writeProperty(Object& o, const PropertyDescriptor& d, Slot v, bool single) {
    if (int rc = checkWritable(o, d, single, v.index(), v.count())) return rc;
    const std::size_t n = v.count();
    if (single && n == 1) {
        // A single null reference or empty string is held as the null value.
        const tag_t* t = v.first<tag_t>();
        if ((t && *t == 0) || (v.index() == kValueIndex<std::string> && v.firstString().empty()))
            v = Slot::null(v.index());
    }
    if (v.index() == kValueIndex<std::string>) {
        auto check = [&](std::string_view e) {
            if (d.m_maxLength > 0 && static_cast<int>(e.size()) > d.m_maxLength)
                return fail(ERR_STRING_TOO_LONG, d.m_name);
            if (!vl::platform::NAMING_check(d.m_owningTypeName, d.m_name, e))
                return fail(ERR_NAMING_RULE, d.m_name + ": \"" + std::string(e) + "\"");
            return 0;
        };
        if (const auto* all = v.array<std::string>()) {
            for (const auto& e : *all)
                if (int rc = check(e)) return rc;
        } else if (!v.empty()) {
            if (int rc = check(v.firstString())) return rc;
        }
    }
    std::optional<SharedEnds> ends;  // of a tag list with the one held
    if (v.index() == kValueIndex<tag_t>) {
        const std::span<const tag_t> t = v.tags();
        // Entries the attribute holds already were checked when they came;
        // while none of them can be gone, only the changed middle needs a
        // check (appending to a long list costs no pass over it).
        const std::span<const tag_t> held = o.values[d.m_attr].tags();
        ends = sharedEnds(held, t);
        const std::span<const tag_t> middle = t.subspan(ends->head, t.size() - ends->head - ends->tail);
        if (int rc = checkTags(o, d, !classChecked(d) && noDanglingReferences() ? middle : t, middle)) return rc;
    }
    if (d.m_lov) {
        const Object* lov = find(d.m_lov);
        if (lov && getLogical(*lov, "exhaustive")) {
            std::vector<std::string> allowed = getStrings(*lov, "lov_values");
            std::vector<tag_t> allowedTags = getTags(*lov, "lov_tags");
            for (const std::string& text : valueTexts(v.value(), d.m_valueType)) {
                bool ok = false;
                if (isReference(d.m_valueType)) {
                    tag_t t = vl::platform::uidToTag(text);
                    for (tag_t a : allowedTags) ok = ok || a == t;
                } else {
                    for (const auto& a : allowed) ok = ok || a == text;
                }
                if (!ok) return fail(ERR_NOT_IN_LOV, d.m_name + ": \"" + text + "\"");
            }
        }
    }
    if (ends) return setValue(o, d.m_attr, std::move(v), *ends);
    return setValue(o, d.m_attr, std::move(v));
}

int appendToProperty(Object& o, const PropertyDescriptor& d, tag_t t) {
    const bool attribute = d.m_propertyType == PROP_attribute && d.m_attr >= 0 &&
                           d.m_attr < static_cast<int>(o.values.size());
    const std::span<const tag_t> held = attribute ? o.values[d.m_attr].tags() : std::span<const tag_t>();
    if (!attribute || o.values[d.m_attr].index() != kValueIndex<tag_t> || d.m_lov || classChecked(d) ||
        !noDanglingReferences()) {
        // Checks that read the whole list: its one write says the same.
        std::vector<tag_t> all(held.begin(), held.end());
        all.push_back(t);
        return writeProperty(o, d, Value(std::move(all)), false);
    }
    if (int rc = checkWritable(o, d, false, kValueIndex<tag_t>, held.size() + 1)) return rc;
    const std::span<const tag_t> added(&t, 1);
    if (int rc = checkTags(o, d, added, added)) return rc;
    return insertTag(o, d.m_attr, -1, t);
}

}  // namespace vl::platform::store
