#pragma once
// Failure codes the stand-in platform reports, with their texts. Codes the
// services name keep their numbers; the platform's own lie in 990000-990999.

namespace vl::platform {

enum ErrorCode : int {
    // Codes the services store or test by number.
    ERR_NOT_MODIFIABLE = 525084,
    ERR_INVALID_TAG = 7007,
    ERR_EMPTY_NAME = 6010,
    ERR_RELATE_TO_CONTAINER = 89015,
    ERR_NO_OUTPUT_FORMAT = 9008,       // the dataset's tool has no output format
    ERR_NO_SUCH_DATASET_TYPE = 9010,   // stored with the type name as its text
    ERR_TOOL_NOT_OF_TYPE = 26003,      // no such tool, or not a tool of the dataset's type
    ERR_NO_MASTER_FORM_TYPE = 35009,   // revise: no master-form relation type
    ERR_NO_TRANSIENT_VOLUME = 1700,  // the site has no transient volume
    ERR_ITEM_ID_NOT_FOUND = 48008,      // no item bears the identifier
    ERR_REVISION_ID_NOT_FOUND = 48053,  // the item has no revision of that identifier

    // The core service library's own codes (214100-214231).
    ERR_LOGIN_WRONG_USER = 214100,   // the session's user is not the one asked for
    ERR_LOGIN_WRONG_GROUP = 214101,  // the session's group is not the one asked for
    ERR_LOGIN_WRONG_ROLE = 214102,   // the session's role is not the one asked for
    ERR_UNKNOWN_PREF_SCOPE = 214103,
    ERR_UNUSABLE_INPUT_OBJECT = 214110,    // an input object the query cannot be asked of
    ERR_WHERE_REFERENCED_FAILED = 214111,  // the referencers of an input object could not be listed
    ERR_WHERE_USED_FAILED = 214112,        // the parents of an input object could not be listed
    ERR_NO_RELATION_MATCH = 214116,        // no referencer through a relation a filter with type names names
    ERR_NO_TYPE_MATCH = 214117,            // referencers through a named relation, none of a listed type
    ERR_NO_REFERENCERS = 214118,           // the object store knows no referencer of the object
    ERR_DATASET_NAME_OR_TYPE_EMPTY = 214122,  // createDatasets: empty name or type
    ERR_REFERENCED_BY_NON_FOLDER = 214123,    // deleteObjects: referenced by more than folders
    ERR_EMPTY_REVISION_ID = 214124,           // revise: empty revision identifier
    ERR_EMPTY_FORM_PROPERTY = 214128,         // revise: form property with empty name or value
    ERR_POLICY_REFUSED = 214104,     // the object property policy could not be used (text: the policy)
    ERR_POLICY_PARSE = 214105,       // why the policy could not be read (text: the parser's message)
    ERR_SET_PROPERTY_FAILED = 214114,      // setProperties: a property could not be set
    ERR_EMPTY_DISPLAY_VALUE = 214129,      // setDisplayProperties: empty name or text
    ERR_DATASET_TYPE_NOT_FOUND = 214135,  // getDatasetTypeInfo: no dataset type has the name
    ERR_ID_VALIDATION_FAILED = 214141,     // the identifier validation exit failed
    ERR_NO_SUCH_RELATION_TYPE = 214150,
    ERR_NO_RELATION_FILTERS = 214160,      // a relation expansion without relation filters
    ERR_LOV_EMPTY_TYPE_NAME = 214170,      // getAttachedLOVs: an info without a type name
    ERR_LOV_EMPTY_PROPERTY_NAME = 214171,  // getAttachedLOVs: an empty property name
    ERR_OPERATION_NOT_AVAILABLE = 214200,  // the operation is not offered by this build
    ERR_TOO_MANY_IDENTIFIERS = 214201,     // more identifier pairs asked for than one input may have
    ERR_OBJECT_NOT_LOADED = 214231,        // a valid tag whose object could not be loaded
    ERR_TOO_MANY_UIDS = 214202,            // more uids asked for than one request may have

    // The platform's own range.
    ERR_PLATFORM_BASE = 990000,
    ERR_INJECTED = 990001,        // a fault injected by a test
    ERR_NO_SUCH_OBJECT = 990002,  // tag or uid names no live object
    ERR_WRONG_CLASS = 990003,
    ERR_NO_SUCH_ATTRIBUTE = 990004,
    ERR_BAD_VALUE = 990005,
    ERR_NOT_LOCKED = 990006,
    ERR_ALREADY_LOCKED = 990007,
    ERR_NO_ACCESS = 990008,
    ERR_REFERENCED = 990009,  // deletion refused: still referenced
    ERR_NAME_TOO_LONG = 990010,
    ERR_DUPLICATE = 990011,
    ERR_NOT_FOUND = 990012,
    ERR_NO_MARKPOINT = 990013,
    ERR_BAD_ARGUMENT = 990014,
    ERR_NOT_LOGGED_IN = 990015,
    // Object store and core objects.
    ERR_WRONG_ARITY = 990016,        // single call on an array property or the reverse
    ERR_PROPERTY_READ_ONLY = 990017,
    ERR_STRING_TOO_LONG = 990018,
    ERR_ARRAY_TOO_LONG = 990019,
    ERR_TYPE_NOT_FOUND = 990020,
    ERR_NOT_A_RELATION_TYPE = 990021,
    ERR_READ_ONLY_OBJECT = 990022,
    ERR_REQUIRED_VALUE = 990023,
    ERR_NOT_IN_LOV = 990024,
    ERR_NAMING_RULE = 990025,
    ERR_NOT_AN_ITEM_TYPE = 990026,
    ERR_NOT_A_FORM_TYPE = 990027,
    ERR_NO_OWNER_MEMBERSHIP = 990028,  // new owner is not an active member of the group
    ERR_WRONG_REFERENCE_CLASS = 990029,
    ERR_REMOTE_OBJECT = 990030,        // object of another data manager
    // Session, administration and preferences.
    ERR_LOGIN_FAILED = 990040,    // unknown user or wrong password (one text for both)
    ERR_USER_INACTIVE = 990041,
    ERR_NOT_A_MEMBER = 990042,    // no active membership in that group and role
    ERR_NO_SUCH_GROUP = 990043,
    ERR_NO_SUCH_ROLE = 990044,
    ERR_PREF_NOT_FOUND = 990045,
    ERR_PREF_ACCESS = 990046,
    ERR_NOT_PRIVILEGED = 990047,
    // Datasets and tools.
    ERR_NO_SUCH_TOOL = 990060,
    ERR_NO_SUCH_REFERENCE = 990061,
    // Product structure.
    ERR_STRUCTURE_CYCLE = 990070,  // an occurrence would make a revision its own ancestor
    // Folders.
    ERR_FOLDER_CYCLE = 990071,  // a folder put into itself or into a folder below it
    // File tickets and dataset files.
    ERR_NOT_A_FILE = 990120,            // a read ticket asked for what is no live file
    ERR_BAD_RECORD_COUNT = 990121,      // a negative count, or records missing
    ERR_OBJECT_REFERENCE = 990122,      // the named reference takes no files (objects, or nothing)
    ERR_FILE_TYPE_MISMATCH = 990123,    // text file for a binary reference, or the reverse
    ERR_EXTENSION_MISMATCH = 990124,    // the extension fits none of the reference's templates
    ERR_BAD_FILE_NAME = 990125,         // empty, or longer than 256 characters
    ERR_NOT_A_DATASET = 990126,         // a commit names what is no live dataset
    ERR_NO_VOLUME = 990127,             // the site has no volume to put files on
    ERR_BAD_TICKET = 990128,            // no such write ticket: spent already, or out of time
    ERR_TICKET_MISMATCH = 990129,       // issued for another dataset, version, reference or file
    ERR_FILE_EXISTS = 990130,           // a file of that name is under that reference
    // Reservations.
    ERR_ALREADY_RESERVED = 990131,
    ERR_NOT_RESERVED = 990132,
    ERR_RESERVED_BY_OTHER = 990133,
    // Request-level failures answered by the skeleton base.
    ERR_BAD_REQUEST = 990050,        // the request document could not be read
    ERR_UNKNOWN_OPERATION = 990051,  // no such operation in the service
    ERR_INTERNAL = 990052,           // an unexpected failure inside an operation
    ERR_PLATFORM_LAST = 990999,
};

struct ErrorText {
    int code;
    const char* text;
};

inline constexpr ErrorText kErrorTexts[] = {
    {ERR_NOT_MODIFIABLE, "container is not modifiable"},
    {ERR_INVALID_TAG, "invalid tag"},
    {ERR_EMPTY_NAME, "a name is required"},
    {ERR_RELATE_TO_CONTAINER, "the object could not be related to its container"},
    {ERR_NO_OUTPUT_FORMAT, "the dataset's tool has no output format"},
    {ERR_NO_SUCH_DATASET_TYPE, "no such dataset type"},
    {ERR_TOOL_NOT_OF_TYPE, "no such tool, or not a tool of the dataset's type"},
    {ERR_NO_MASTER_FORM_TYPE, "the master form relation type cannot be found"},
    {ERR_NO_TRANSIENT_VOLUME, "the site has no transient volume"},
    {ERR_ITEM_ID_NOT_FOUND, "no item has that identifier"},
    {ERR_REVISION_ID_NOT_FOUND, "the item has no revision of that identifier"},
    {ERR_LOGIN_WRONG_USER, "the session's user is not the user asked for"},
    {ERR_LOGIN_WRONG_GROUP, "the session's group is not the group asked for"},
    {ERR_LOGIN_WRONG_ROLE, "the session's role is not the role asked for"},
    {ERR_UNKNOWN_PREF_SCOPE, "unknown preference scope"},
    {ERR_UNUSABLE_INPUT_OBJECT, "the input object cannot be used for this query"},
    {ERR_WHERE_REFERENCED_FAILED, "the referencers of the object could not be listed"},
    {ERR_WHERE_USED_FAILED, "the parents of the object could not be listed"},
    {ERR_NO_RELATION_MATCH, "no referencer is related through a relation of the filters"},
    {ERR_NO_TYPE_MATCH, "no referencer related through a relation of the filters is of a listed type"},
    {ERR_NO_REFERENCERS, "the object has no referencers"},
    {ERR_DATASET_NAME_OR_TYPE_EMPTY, "a dataset needs a name and a type"},
    {ERR_REFERENCED_BY_NON_FOLDER, "the object is referenced by more than folders"},
    {ERR_EMPTY_REVISION_ID, "a revision identifier is required"},
    {ERR_EMPTY_FORM_PROPERTY, "a form property needs a name and a value"},
    {ERR_POLICY_REFUSED, "the object property policy could not be used"},
    {ERR_POLICY_PARSE, "the object property policy could not be read"},
    {ERR_SET_PROPERTY_FAILED, "the property could not be set"},
    {ERR_EMPTY_DISPLAY_VALUE, "a property name and a display value are required"},
    {ERR_DATASET_TYPE_NOT_FOUND, "no dataset type has that name"},
    {ERR_ID_VALIDATION_FAILED, "the identifiers could not be validated"},
    {ERR_NO_SUCH_RELATION_TYPE, "no relation type has that name"},
    {ERR_NO_RELATION_FILTERS, "no relation filters were given"},
    {ERR_LOV_EMPTY_TYPE_NAME, "a type name is required"},
    {ERR_LOV_EMPTY_PROPERTY_NAME, "a property name is required"},
    {ERR_OPERATION_NOT_AVAILABLE, "the operation is not available"},
    {ERR_TOO_MANY_IDENTIFIERS, "too many identifiers requested (at most 10000 per input)"},
    {ERR_OBJECT_NOT_LOADED, "the object could not be loaded"},
    {ERR_TOO_MANY_UIDS, "too many uids requested (at most 10000 per request)"},
    {ERR_INJECTED, "injected failure"},
    {ERR_NO_SUCH_OBJECT, "no such object"},
    {ERR_WRONG_CLASS, "object is not of the expected class"},
    {ERR_NO_SUCH_ATTRIBUTE, "no such attribute or property"},
    {ERR_BAD_VALUE, "value does not fit the property"},
    {ERR_NOT_LOCKED, "object is not locked for change"},
    {ERR_ALREADY_LOCKED, "object is locked by another session"},
    {ERR_NO_ACCESS, "access denied"},
    {ERR_REFERENCED, "object is still referenced"},
    {ERR_NAME_TOO_LONG, "name is too long"},
    {ERR_DUPLICATE, "an object with that identity already exists"},
    {ERR_NOT_FOUND, "not found"},
    {ERR_NO_MARKPOINT, "no such markpoint"},
    {ERR_BAD_ARGUMENT, "invalid argument"},
    {ERR_NOT_LOGGED_IN, "no session"},
    {ERR_WRONG_ARITY, "single value asked of an array property, or the reverse"},
    {ERR_PROPERTY_READ_ONLY, "property is read-only"},
    {ERR_STRING_TOO_LONG, "text is longer than the property allows"},
    {ERR_ARRAY_TOO_LONG, "more values than the property allows"},
    {ERR_TYPE_NOT_FOUND, "no such type"},
    {ERR_NOT_A_RELATION_TYPE, "not a relation type"},
    {ERR_READ_ONLY_OBJECT, "object is read-only"},
    {ERR_REQUIRED_VALUE, "a required property has no value"},
    {ERR_NOT_IN_LOV, "value is not in the property's list of values"},
    {ERR_NAMING_RULE, "value does not match the naming rule"},
    {ERR_NOT_AN_ITEM_TYPE, "not an item type"},
    {ERR_NOT_A_FORM_TYPE, "not a form type"},
    {ERR_NO_OWNER_MEMBERSHIP, "the new owner is not an active member of the group"},
    {ERR_WRONG_REFERENCE_CLASS, "referenced object is not of the class the property allows"},
    {ERR_REMOTE_OBJECT, "object belongs to another data manager"},
    {ERR_LOGIN_FAILED, "invalid user id or password"},
    {ERR_USER_INACTIVE, "user is inactive"},
    {ERR_NOT_A_MEMBER, "user is not an active member of that group with that role"},
    {ERR_NO_SUCH_GROUP, "no such group"},
    {ERR_NO_SUCH_ROLE, "no such role"},
    {ERR_PREF_NOT_FOUND, "no such preference"},
    {ERR_PREF_ACCESS, "preference may not be written at that level"},
    {ERR_NOT_PRIVILEGED, "needs an administration group"},
    {ERR_NO_SUCH_TOOL, "no such tool"},
    {ERR_NO_SUCH_REFERENCE, "no such named reference"},
    {ERR_STRUCTURE_CYCLE, "the occurrence would make a revision its own ancestor"},
    {ERR_FOLDER_CYCLE, "a folder cannot be put into itself or into a folder below it"},
    {ERR_NOT_A_FILE, "not a file"},
    {ERR_BAD_RECORD_COUNT, "the record count does not fit the records given"},
    {ERR_OBJECT_REFERENCE, "the named reference takes no files"},
    {ERR_FILE_TYPE_MISMATCH, "the file type does not fit the reference's format"},
    {ERR_EXTENSION_MISMATCH, "the file's extension fits none of the reference's templates"},
    {ERR_BAD_FILE_NAME, "a file name has 1 to 256 characters"},
    {ERR_NOT_A_DATASET, "not a dataset"},
    {ERR_NO_VOLUME, "the site has no volume"},
    {ERR_BAD_TICKET, "no such write ticket, or it was used already or is out of time"},
    {ERR_TICKET_MISMATCH, "the ticket was issued for another dataset, version, reference or file"},
    {ERR_FILE_EXISTS, "a file of that name is under that reference already"},
    {ERR_ALREADY_RESERVED, "the object is checked out already"},
    {ERR_NOT_RESERVED, "the object is not checked out"},
    {ERR_RESERVED_BY_OTHER, "the object is checked out by another user"},
    {ERR_BAD_REQUEST, "the request document could not be read"},
    {ERR_UNKNOWN_OPERATION, "the service has no such operation"},
    {ERR_INTERNAL, "internal error"},
};

constexpr bool codesAreUnique() {
    for (const auto& a : kErrorTexts) {
        int seen = 0;
        for (const auto& b : kErrorTexts) seen += a.code == b.code;
        if (seen != 1) return false;
    }
    return true;
}
static_assert(codesAreUnique(), "two error texts share a code");

}  // namespace vl::platform
