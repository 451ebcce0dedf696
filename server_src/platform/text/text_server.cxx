#include "text/text_server.hxx"

#include "pom/store.hxx"
#include "text/text_state.hxx"
#include "sm/sm.hxx"

using namespace vl::platform::store;

char* OSTRA_text(const char* key) {
    enter("OSTRA_text");
    if (!key) return nullptr;
    const auto& t = extension<vl::platform::text::Texts>().byKey;
    auto it = t.find(key);
    if (it == t.end()) return nullptr;
    return SM_string_copy_persistent(it->second.c_str());
}
