#pragma once
// Basic value types of the object store shared by every platform header.

typedef unsigned int tag_t;

// The platform date record. A date whose year is 0 is the null date.
struct date_s {
    short year = 0;
    unsigned char month = 0;  // 0-11
    unsigned char day = 0;    // 1-31
    unsigned char hour = 0;
    unsigned char minute = 0;
    unsigned char second = 0;
};
inline bool operator==(const date_s& a, const date_s& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

// Value types of attributes and properties (the codes the typed setter acts on).
enum PROP_value_type_e : int {
    PROP_untyped = 0,
    PROP_char = 1,
    PROP_date = 2,
    PROP_double = 3,
    PROP_float = 4,
    PROP_int = 5,
    PROP_logical = 6,
    PROP_short = 7,
    PROP_string = 8,
    PROP_typed_reference = 9,
    PROP_untyped_reference = 10,
    PROP_external_reference = 11,
    PROP_note = 12,
    PROP_typed_relation = 13,
    PROP_untyped_relation = 14,
};

// Where a property's value comes from.
enum PROP_type_e : int {
    PROP_unknown = 0,
    PROP_attribute = 1,  // a stored attribute of the object's class
    PROP_runtime = 2,    // computed on read
    PROP_relation = 3,   // the secondary objects of one relation type
};

// Longest names the store accepts; ask calls that fill a caller's buffer
// never write more than this plus the terminator.
#define OSTRATYPE_name_size_c 32
#define SA_name_size_c 32
#define POM_uid_size_c 15
