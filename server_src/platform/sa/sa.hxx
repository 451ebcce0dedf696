#pragma once
// Administration: users, groups, roles, group members, sites and volumes.
// User ids, group and role names are at most SA_name_size_c (32) characters,
// so the ask calls that fill a caller's buffer never write more than 33 bytes.
#include "filetickets/file_tickets.hxx"
#include "foundation/ifail.hxx"
#include "aom/loaded_objects.hxx"
#include "pom/pom_types.hxx"

#include <string>

// 0 and the null tag when there is none.
int SA_find_user(const char* userId, tag_t* user);
int SA_find_group(const char* groupName, tag_t* group);
int SA_find_role(const char* roleName, tag_t* role);
int SA_find_groupmember(tag_t group, tag_t user, tag_t role, tag_t* member);
int SA_find_site_by_id(int siteId, tag_t* site);

int SA_ask_user_identifier(tag_t user, char id[SA_name_size_c + 1]);
int SA_ask_user_identifier2(tag_t user, char** id);  // SM string
int SA_ask_user_person_name(tag_t user, char** name);
int SA_ask_user_home_folder(tag_t user, tag_t* folder);
int SA_ask_user_newstuff_folder(tag_t user, tag_t* folder);
int SA_ask_user_default_group(tag_t user, tag_t* group);
int SA_ask_group_name(tag_t group, char name[SA_name_size_c + 1]);
int SA_ask_group_name2(tag_t group, char** name);
int SA_ask_role_name(tag_t role, char name[SA_name_size_c + 1]);
int SA_ask_role_name2(tag_t role, char** name);
int SA_ask_groupmember_group(tag_t member, tag_t* group);
int SA_ask_groupmember_role(tag_t member, tag_t* role);
int SA_ask_groupmember_user(tag_t member, tag_t* user);
int SA_ask_groupmember_active(tag_t member, bool* active);
int SA_ask_site_info(tag_t site, char** name, int* siteId);

// Every member of the user, active or not, in declaration order (one block).
int SA_find_groupmember_by_user(tag_t user, int* count, tag_t** members);
int SA_find_groupmember_by_group(tag_t group, int* count, tag_t** members);

// Makes the session work as the current user's active member of that group
// with that role; ERR_NOT_A_MEMBER otherwise (the session stays as it was).
int SA_change_group(tag_t group, tag_t role);

// Administration writes (privileged session). Names of at most 32 characters.
int SA_create_user(const char* userId, const char* personName, const char* password, tag_t* user);
int SA_create_group(const char* groupName, tag_t* group);
int SA_create_role(const char* roleName, tag_t* role);
int SA_create_groupmember(tag_t group, tag_t user, tag_t role, tag_t* member);
int SA_set_groupmember_active(tag_t member, bool active);

int VM_ask_current_volume(tag_t* volume);

class User : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "User"; }
    std::string userId() const;
    std::string personName() const;
    tag_t homeFolder() const;      // null when none
    tag_t newstuffFolder() const;  // null when none
};

class Group : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "Group"; }
    std::string name() const;
};

class Role : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "Role"; }
    std::string name() const;
};

class GroupMember : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "GroupMember"; }
    tag_t user() const;
    tag_t group() const;
    tag_t role() const;
    bool isActive() const;
};

class Site : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "Site"; }
    int siteId() const;
    std::string name() const;
};

class Volume : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "Volume"; }
    std::string name() const;
    std::string path() const;
};

class Project : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "Project"; }
};

class WorkContext : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "WorkContext"; }
};

namespace vl::platform::sa {
// A user with its home and newstuff folders.
int makeUser(const std::string& id, const std::string& personName, const std::string& passwordHash, tag_t* user);
}  // namespace vl::platform::sa
