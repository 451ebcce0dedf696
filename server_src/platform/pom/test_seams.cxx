#include "pom/test_seams.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"

#include <algorithm>

namespace vl::platform {

using namespace store;

void FAULT_inject(const std::string& functionName, int code, unsigned int onlyForTag) {
    faultInject(functionName, code, onlyForTag);
}
void FAULT_clear() { faultClear(); }
int FAULT_pending() { return faultPending(); }

int CLOCK_pin(const std::string& utc) {
    date_s d;
    if (!parseDate(utc, &d) || utc.size() != 19) return ERR_BAD_ARGUMENT;
    pinClock(d);
    return 0;
}
void CLOCK_release() { unpinClock(); }

std::vector<unsigned int> LOCKS_held() {
    std::vector<unsigned int> out;
    S().objects.forEach([&](const vl::platform::store::Object& o) {
        if (o.locked) out.push_back(o.tag);
    });
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> CALLS_log() { return callLogNames(); }
void FL_insert_positions_clear();
void CALLS_clear() {
    callLogClear();
    FL_insert_positions_clear();
}

long STORE_object_count() { return static_cast<long>(S().objects.size()); }

long STORE_remembered_uids() { return static_cast<long>(S().phantoms.size() + S().unknownUids.size()); }

std::vector<int> MARKPOINTS_placed() {
    std::vector<int> out;
    for (const Markpoint& m : S().markpoints) out.push_back(m.id);
    return out;
}

int OBJ_set_read_only(tag_t object, bool readOnly) {
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    touch(*o);
    o->readOnly = readOnly;
    return 0;
}

int OBJ_set_data_manager(tag_t object, int dataManager) {
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    touch(*o);
    o->dm = dataManager;
    return 0;
}

}  // namespace vl::platform
