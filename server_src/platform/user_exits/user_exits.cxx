#include "user_exits/user_exits.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <cctype>
#include <algorithm>
#include <cstdio>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

// The default exits' counters, and the items made during the current request.
struct UserExitState final : ValueExtension<UserExitState> {
    static constexpr const char* kName = "user-exits";
    long itemIdCounter = 0;
    long datasetNameCounter = 0;
    std::vector<std::pair<std::string, std::string>> createdItems;
    bool operator==(const UserExitState&) const = default;
    bool requestBegins() override {
        if (createdItems.empty()) return false;
        createdItems = {};
        return true;
    }
    std::string dump() const override {
        std::string out = "counters " + std::to_string(itemIdCounter) + " " + std::to_string(datasetNameCounter) + "\n";
        for (const auto& [id, rev] : createdItems) out += "created item " + id + " " + rev + "\n";
        return out;
    }
};

UserExitState& state() { return extension<UserExitState>(); }

UserExits& exits() {
    static UserExits e = USER_default_exits();
    return e;
}

// "A".."Z", "AA".."ZZ", ...; digits count up keeping their width.
std::string successor(const std::string& id) {
    if (id.empty()) return "A";
    bool alpha = true, digits = true;
    for (char c : id) {
        alpha = alpha && c >= 'A' && c <= 'Z';
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    }
    std::string s = id;
    if (alpha) {
        int i = static_cast<int>(s.size()) - 1;
        while (i >= 0 && s[i] == 'Z') s[i--] = 'A';
        if (i < 0) return "A" + s;
        ++s[i];
        return s;
    }
    if (digits) {
        int i = static_cast<int>(s.size()) - 1;
        while (i >= 0 && s[i] == '9') s[i--] = '0';
        if (i < 0) return "1" + s;
        ++s[i];
        return s;
    }
    return id + "A";
}

// The first pattern of the naming rule on the item type's "item_id", if any.
std::string idPattern(tag_t type) {
    for (const TypeDef* t = typeDef(type); t; t = typeDef(t->parent)) {
        tag_t fieldTag = nameFieldOf(t->name, "item_id");
        if (!fieldTag) continue;
        const Object* field = find(fieldTag);
        const Object* rule = field ? find(getTag(*field, "rule")) : nullptr;
        std::vector<std::string> patterns = rule ? getStrings(*rule, "patterns") : std::vector<std::string>{};
        for (const auto& p : patterns)
            if (p.find('n') != std::string::npos) return p;
        return {};
    }
    return {};
}

// Fills a pattern's digits with the counter: "DOC-nnnn" and 7 give "DOC-0007".
std::string fromPattern(const std::string& pattern, long n) {
    int digits = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\\') ++i;
        else if (pattern[i] == 'n') ++digits;
    }
    std::string number = std::to_string(n);
    if (static_cast<int>(number.size()) > digits) return {};
    number.insert(0, digits - number.size(), '0');
    std::string out;
    std::size_t d = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) out += pattern[++i];
        else if (c == 'n') out += number[d++];
        else if (c == 'a') out += 'A';
        else if (c == '@') out += '0';
        else if (c == '?') out += 'X';
        else out += c;
    }
    return out;
}

int defaultItemId(tag_t, tag_t type, bool* modifiable, std::string* id) {
    UserExitState& s = state();
    std::string pattern = idPattern(type);
    for (;;) {
        ++s.itemIdCounter;
        std::string candidate;
        if (!pattern.empty()) {
            candidate = fromPattern(pattern, s.itemIdCounter);
            if (candidate.empty()) return fail(ERR_NOT_FOUND, "the naming rule has no free item id left");
        } else {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%06ld", s.itemIdCounter);
            candidate = buf;
        }
        if (!keyInUse("Item", candidate)) {
            *id = candidate;
            break;
        }
    }
    if (modifiable) *modifiable = true;
    return 0;
}

int defaultRevisionId(tag_t item, tag_t, bool* modifiable, std::string* id) {
    std::string next = "A";
    if (const Object* o = find(item); o && o->cls->isA("Item")) {
        std::vector<tag_t> revs = getTags(*o, "revision_list");
        std::vector<std::string> taken;
        for (tag_t r : revs)
            if (const Object* rev = find(r)) taken.push_back(getString(*rev, "item_revision_id"));
        if (!taken.empty()) next = successor(taken.back());
        while (std::find(taken.begin(), taken.end(), next) != taken.end()) next = successor(next);
    }
    *id = next;
    if (modifiable) *modifiable = true;
    return 0;
}

int defaultDatasetName(tag_t owner, tag_t type, std::string* name, bool* modifiable) {
    UserExitState& s = state();
    std::string base;
    if (find(owner)) base = displayString(owner);
    if (base.empty())
        if (const Object* t = find(type)) base = getString(*t, "datasettype_name");
    if (base.empty()) base = "Dataset";
    *name = base + "-" + std::to_string(++s.datasetNameCounter);
    if (modifiable) *modifiable = true;
    return 0;
}

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

int defaultValidateIds(const char* itemId, const char* revId, const char* itemType, char** modifiedItemId,
                       char** modifiedRevId, IDValid_t* itemStatus, IDValid_t* revStatus) {
    std::string typeName = itemType && *itemType ? itemType : "Item";
    const TypeDef* it = typeNamed(typeName);
    if (!it || !it->cls->isA("Item")) return fail(ERR_NOT_AN_ITEM_TYPE, typeName);
    std::string revType;
    for (const TypeDef* t = it; t && revType.empty(); t = typeDef(t->parent)) revType = t->revisionType;

    auto check = [](const std::string& given, const std::string& type, const char* property, char** modified,
                    IDValid_t* status) {
        std::string id = trim(given);
        IDValid_t st = ID_valid;
        if (id.empty() || !NAMING_check(type, property, id))
            st = ID_invalid;
        else if (id != given)
            st = ID_modified;
        if (st == ID_modified && modified) *modified = SM_string_copy_persistent(id.c_str());
        if (status) *status = st;
        return id;
    };
    std::string item = check(itemId ? itemId : "", it->name, "item_id", modifiedItemId, itemStatus);
    std::string rev = check(revId ? revId : "", revType, "item_revision_id", modifiedRevId, revStatus);
    tag_t existing = item.empty() ? 0 : findByKey("Item", item);
    if (existing) {
        if (itemStatus && *itemStatus != ID_invalid) *itemStatus = ID_duplicate;
        for (tag_t r : getTags(*find(existing), "revision_list"))
            if (const Object* o = find(r); o && getString(*o, "item_revision_id") == rev && revStatus &&
                                           *revStatus != ID_invalid)
                *revStatus = ID_duplicate;
    }
    return 0;
}

}  // namespace

namespace vl::platform {

UserExits USER_default_exits() {
    UserExits e;
    e.newItemId = &defaultItemId;
    e.newRevisionId = &defaultRevisionId;
    e.newDatasetName = &defaultDatasetName;
    e.itemCreated = [](const std::string& itemId, const std::string& revId) {
        state().createdItems.emplace_back(itemId, revId);
    };
    e.validateIds = &defaultValidateIds;
    return e;
}

void USER_set_exits(const UserExits& e) {
    if (e.newItemId) exits().newItemId = e.newItemId;
    if (e.newRevisionId) exits().newRevisionId = e.newRevisionId;
    if (e.newDatasetName) exits().newDatasetName = e.newDatasetName;
    if (e.itemCreated) exits().itemCreated = e.itemCreated;
    if (e.validateIds) exits().validateIds = e.validateIds;
}

void USER_reset_exits() { exits() = USER_default_exits(); }

std::vector<std::pair<std::string, std::string>> USER_created_items() { return state().createdItems; }

}  // namespace vl::platform

int USER_new_item_id(tag_t item, tag_t itemType, bool* modifiable, char** id) {
    VL_ENTER("USER_new_item_id", item);
    if (id) *id = nullptr;
    if (modifiable) *modifiable = false;
    if (itemType)
        if (int rc = need(itemType, "OstraType", nullptr)) return rc;
    std::string out;
    if (int rc = exits().newItemId(item, itemType, modifiable, &out)) return rc;
    if (id) *id = SM_string_copy_persistent(out.c_str());
    return 0;
}

int USER_new_revision_id(tag_t item, tag_t itemType, bool* modifiable, char** id) {
    VL_ENTER("USER_new_revision_id", item);
    if (id) *id = nullptr;
    if (modifiable) *modifiable = false;
    if (itemType)
        if (int rc = need(itemType, "OstraType", nullptr)) return rc;
    std::string out;
    if (int rc = exits().newRevisionId(item, itemType, modifiable, &out)) return rc;
    if (id) *id = SM_string_copy_persistent(out.c_str());
    return 0;
}

int USER_new_dataset_name(tag_t owner, tag_t datasetType, tag_t, const char* basisName, char** name,
                          bool* modifiable) {
    VL_ENTER("USER_new_dataset_name", owner);
    if (name) *name = nullptr;
    if (modifiable) *modifiable = false;
    std::string out;
    if (basisName && *basisName) {
        out = basisName;
        if (modifiable) *modifiable = true;
    } else if (int rc = exits().newDatasetName(owner, datasetType, &out, modifiable)) {
        return rc;
    }
    if (name) *name = SM_string_copy_persistent(out.c_str());
    return 0;
}

int USER_item_created(const char* itemId, const char* revId) {
    VL_ENTER("USER_item_created", 0);
    exits().itemCreated(itemId ? itemId : "", revId ? revId : "");
    return 0;
}


int USER_validate_item_rev_id_2(const char* itemId, const char* revId, const char* itemType, char** modifiedItemId,
                                char** modifiedRevId, IDValid_t* itemStatus, IDValid_t* revStatus) {
    VL_ENTER("USER_validate_item_rev_id_2", 0);
    if (modifiedItemId) *modifiedItemId = nullptr;
    if (modifiedRevId) *modifiedRevId = nullptr;
    if (itemStatus) *itemStatus = ID_valid;
    if (revStatus) *revStatus = ID_valid;
    return exits().validateIds(itemId, revId, itemType, modifiedItemId, modifiedRevId, itemStatus, revStatus);
}
