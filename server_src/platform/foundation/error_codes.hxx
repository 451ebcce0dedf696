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
};

}  // namespace vl::platform
