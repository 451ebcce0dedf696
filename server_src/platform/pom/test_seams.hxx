#pragma once
// Seams of the platform layer for tests and the host program. All of them act
// on the one in-memory store that every platform call works on.
#include "pom/pom_types.hxx"

#include <string>
#include <vector>

namespace vl::platform {

// --- site fixture ---
// Parses and loads a fixture (format: docs/site-format.md), replacing all
// state. On error returns non-zero with *error = "<file>:<line>: <reason>" and
// leaves the previous state untouched.
int SITE_load(const std::string& path, std::string* error);
// The same from text; `name` stands for the file in messages.
int SITE_load_text(const std::string& text, const std::string& name, std::string* error);
// Restores the state right after the last successful load: objects, types,
// preferences, session (the fixture's session user logged in), user exits,
// counters; clears the error store, fault injections, the pinned clock, call log, system log,
// locks and markpoints; removes the installed object property policies and
// switches the empty policy and the per-request refresh off.
void SITE_reset();
// Path of the last successfully loaded fixture ("" when none).
std::string SITE_loaded_path();
// Loads the fixture named by $VL_SITE, else `fallback`, unless one is loaded;
// returns 0 or the load's code (the error on stderr).
int SITE_ensure_loaded(const std::string& fallback);
// A libsodium crypto_pwhash_str hash of the password (at the interactive
// limits), as the fixture's password field holds it.
std::string SITE_hash_password(const std::string& password);

// --- fault injection ---
// The next call of that platform function (for that tag when given) fails with
// `code`, which it stores as its error (severity 3). Injections are used up
// one call each, in the order given.
void FAULT_inject(const std::string& functionName, int code, unsigned int onlyForTag = 0);
void FAULT_clear();
int FAULT_pending();  // injections not yet used

// --- clock ---
// Pins the store's clock (what saves and histories stamp) to a UTC time
// "YYYY-MM-DDTHH:MM:SS"; non-zero and nothing changed when the text is not
// one. SITE_reset and CLOCK_release give the system clock back.
int CLOCK_pin(const std::string& utc);
void CLOCK_release();

// --- observation ---
// Tags locked for change, ascending.
std::vector<unsigned int> LOCKS_held();
// Platform functions called since the last clear, in order, by name (e.g.
// "AOM_save"). Holds at most 1,000,000 entries; later calls are dropped.
std::vector<std::string> CALLS_log();
void CALLS_clear();
// The positions FL_insert was asked for since the last CALLS_clear, in order
// (at most 1,000,000).
std::vector<int> FL_insert_positions();
// Number of live objects in the store.
long STORE_object_count();
// Number of uids the store remembers beside its live objects' own: deleted
// objects' and those the current request named in vain.
long STORE_remembered_uids();
// The whole state of the store as text: equal for equal states whatever led
// to them (indexes shown by what they answer, caches left out).
std::string STORE_dump();
// Placed markpoints, oldest first.
std::vector<int> MARKPOINTS_placed();

// --- object flags a test may set ---
// A read-only object refuses locks, changes, deletion and ownership changes.
int OBJ_set_read_only(tag_t object, bool readOnly);
// Data manager of an object (EIM_ask_data_manager() is the local one).
int OBJ_set_data_manager(tag_t object, int dataManager);

}  // namespace vl::platform
