#pragma once
// What the SOA server library reads of the object store: uids, class and type
// of an object, and property values as the reply shows them.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class PropertyDescriptor;

namespace vl::platform::store {
struct Object;
}

namespace vl::platform {

// "" for the null tag; at most 15 characters otherwise.
std::string tagToUid(unsigned int tag);
// 0 for "" (and the null tag's uid); a uid that names no live object gives a
// non-zero tag that is never valid.
unsigned int uidToTag(const std::string& uid);

// Called by the gateway before each request: forgets the uids earlier
// requests named that name no object (their tags stay never valid), the
// changed-tag list and the record of created items.
void beginRequest();
// Seam: the number of such uids remembered now.
long rememberedUnknownUids();

struct ObjectSummary {
    std::string uid;
    std::string className;  // POM class, e.g. "Folder"
    std::string typeName;   // business type, e.g. "Folder" or "Item"
};
// False (and an error stored) when the tag names no live object.
bool describeObject(unsigned int tag, ObjectSummary* out);

// The business type of a live object, 0 for anything else.
unsigned int objectType(unsigned int tag);
// The type's name, then its parent's and so on up to the root, nearest first.
std::vector<std::string> typeLineage(unsigned int type);
// Whether objects of the type have a property of that name.
bool typeHasProperty(unsigned int type, const std::string& name);

struct PropertyRead {
    bool modifiable = false;
    std::string uiValue;              // display value (array values joined by ",")
    std::vector<std::string> values;  // one per value; uids for references
    std::vector<bool> isNull;         // parallel to values
};
// 0, or a stored error code when the object or property does not exist.
int readProperty(unsigned int tag, const std::string& name, PropertyRead* out);

// Reads as readProperty does, for many objects while the store stays as it
// is (one reply's worth), looking up less: the descriptors of the names read
// in turn for a type, whether the user may change the object read, and the
// display string of each object a single reference names, and whether the
// session is privileged.
class PropertyReader {
public:
    int read(unsigned int tag, const std::string& name, PropertyRead* out);

private:
    PropertyDescriptor* descriptor(unsigned int type, const std::string& name);
    // The display string of the object, read once.
    const std::string& display(unsigned int tag);

    static constexpr std::size_t kDescriptors = 64;
    unsigned int m_type = 0;  // the type of m_descriptors
    std::vector<std::pair<std::string, PropertyDescriptor*>> m_descriptors;  // in the order read; null for none
    std::size_t m_next = 0;  // the entry the next name likely matches
    unsigned int m_objectTag = 0;  // the object read last, found once
    store::Object* m_object = nullptr;
    unsigned int m_writableTag = 0;
    bool m_writable = false;  // for m_writableTag
    bool m_privilegeAsked = false, m_privileged = false;
    std::unordered_map<unsigned int, std::string> m_displays;
};

}  // namespace vl::platform
